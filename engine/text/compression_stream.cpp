#include "engine/text/compression_stream.h"

#include <zstd.h>

#include <algorithm>
#include <cstring>
#include <exception>

namespace orvane::squeez {

PlainTextStream::~PlainTextStream() {
  if (file_ != nullptr) std::fclose(file_);
  if (context_ != nullptr) ZSTD_freeDCtx(static_cast<ZSTD_DCtx*>(context_));
}

bool PlainTextStream::FillInput() {
  if (input_ended_) return false;
  input_size_ = std::fread(input_.data(), 1, input_.size(), file_);
  input_pos_ = 0;
  if (input_size_ == 0) {
    input_ended_ = true;
    if (std::ferror(file_)) error_ = kSourceUnreadable;
    return false;
  }
  return true;
}

std::int32_t PlainTextStream::Open(const std::string& source) {
  file_ = std::fopen(source.c_str(), "rb");
  if (file_ == nullptr) return error_ = kSourceUnreadable;
  context_ = ZSTD_createDCtx();
  if (context_ == nullptr) return error_ = kBuffersUnavailable;
  input_.resize(ZSTD_DStreamInSize());
  if (!FillInput()) {
    // An empty file is not a compressed index; a read error is a read error.
    return error_ = error_ != 0 ? error_ : kNotCompressedIndex;
  }
  unsigned long long size =
      ZSTD_getFrameContentSize(input_.data(), input_size_);
  if (size == ZSTD_CONTENTSIZE_ERROR) return error_ = kNotCompressedIndex;
  if (size != ZSTD_CONTENTSIZE_UNKNOWN) {
    recorded_length_ = static_cast<std::int64_t>(size);
  }
  return 0;
}

std::int64_t PlainTextStream::Read(char* buffer, std::size_t capacity) {
  if (error_ != 0) return error_;
  if (finished_ || capacity == 0) return 0;
  ZSTD_outBuffer out{buffer, capacity, 0};
  auto* context = static_cast<ZSTD_DCtx*>(context_);
  while (out.pos == 0) {
    if (input_pos_ >= input_size_ && !FillInput()) {
      if (error_ != 0) return error_;
      // The input has ended: the text is complete only between frames.
      if (frame_open_) return error_ = kNotCompressedIndex;
      finished_ = true;
      return 0;
    }
    ZSTD_inBuffer in{input_.data(), input_size_, input_pos_};
    std::size_t result = ZSTD_decompressStream(context, &out, &in);
    input_pos_ = in.pos;
    if (ZSTD_isError(result)) return error_ = kNotCompressedIndex;
    frame_open_ = result != 0;
  }
  delivered_ += static_cast<std::int64_t>(out.pos);
  return static_cast<std::int64_t>(out.pos);
}

ReadAheadStream::~ReadAheadStream() {
  if (!threaded_) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

std::int32_t ReadAheadStream::Open(const std::string& source) {
  std::int32_t code = stream_.Open(source);
  if (code != 0) return code;
  recorded_length_ = stream_.recorded_length();
  try {
    for (Piece& piece : pieces_) piece.bytes.reset(new char[kPieceSize]);
    worker_ = std::thread([this] { Decompress(); });
    threaded_ = true;
  } catch (const std::exception&) {
    // Short of memory or of threads: Read decompresses in the caller's.
    threaded_ = false;
  }
  return 0;
}

void ReadAheadStream::Decompress() {
  for (;;) {
    std::size_t slot;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return stop_ || count_ < kPieces; });
      if (stop_) return;
      slot = (first_ + count_) % kPieces;
    }
    std::int64_t n = stream_.Read(pieces_[slot].bytes.get(), kPieceSize);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pieces_[slot].size = n;
      ++count_;
    }
    changed_.notify_all();
    if (n <= 0) return;
  }
}

std::int64_t ReadAheadStream::Read(char* buffer, std::size_t capacity) {
  if (!threaded_) return stream_.Read(buffer, capacity);
  if (finished_) return final_result_;
  if (capacity == 0) return 0;
  std::size_t slot;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return count_ > 0; });
    slot = first_;
  }
  const Piece& piece = pieces_[slot];
  if (piece.size <= 0) {
    finished_ = true;
    final_result_ = piece.size;
    return final_result_;
  }
  const auto size = static_cast<std::size_t>(piece.size);
  std::size_t n = std::min(capacity, size - taken_);
  std::memcpy(buffer, piece.bytes.get() + taken_, n);
  taken_ += n;
  if (taken_ == size) {
    taken_ = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      first_ = (first_ + 1) % kPieces;
      --count_;
    }
    changed_.notify_all();
  }
  return static_cast<std::int64_t>(n);
}

}  // namespace orvane::squeez
