// Reading a compressed index piece by piece: the plain text of a file made
// by squeez::_cf, delivered in order without writing it anywhere, so that a
// reader can stop once it has what it needs (the Search Module reads the
// file list and the lexicon and leaves the count lines compressed when its
// data file is current).
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/text/compression.h"

namespace orvane::squeez {

// The decompression buffers could not be set up.
inline constexpr std::int32_t kBuffersUnavailable = -4;

class PlainTextStream {
 public:
  PlainTextStream() = default;
  ~PlainTextStream();
  PlainTextStream(const PlainTextStream&) = delete;
  PlainTextStream& operator=(const PlainTextStream&) = delete;

  // Opens the compressed file. Returns 0, or kSourceUnreadable (cannot be
  // opened or read), kNotCompressedIndex (not a compressed index) or
  // kBuffersUnavailable.
  std::int32_t Open(const std::string& source);

  // Reads up to capacity plain bytes into buffer. Returns the number of
  // bytes read, 0 once the whole text has been delivered, or a negative
  // code: kNotCompressedIndex for damaged or truncated data,
  // kSourceUnreadable for a read error. After a negative result every
  // further call returns the same code.
  std::int64_t Read(char* buffer, std::size_t capacity);

  // The plain length that the compressed file records in its header, or -1
  // when it records none. Valid after Open.
  std::int64_t recorded_length() const { return recorded_length_; }
  // Plain bytes delivered so far.
  std::int64_t delivered() const { return delivered_; }

 private:
  bool FillInput();

  std::FILE* file_ = nullptr;
  void* context_ = nullptr;  // ZSTD_DCtx
  std::vector<char> input_;
  std::size_t input_pos_ = 0;
  std::size_t input_size_ = 0;
  bool input_ended_ = false;
  bool frame_open_ = false;  // a frame has begun and not yet ended
  bool finished_ = false;
  std::int32_t error_ = 0;
  std::int64_t recorded_length_ = -1;
  std::int64_t delivered_ = 0;
};

// A PlainTextStream decompressed on a thread of its own, a few pieces ahead
// of its reader: the reader of an index takes about as long over its lines
// as the decompression takes to make them, and with a second processor the
// two then share the time. Where no thread can be started, the reader's
// own thread decompresses.
class ReadAheadStream {
 public:
  // Plain bytes decompressed at a time, and pieces held ready at most: the
  // decompression runs at most half a megabyte ahead of the reader, which
  // is all it does in vain when the reader stops early.
  static constexpr std::size_t kPieceSize = 128 * 1024;
  static constexpr std::size_t kPieces = 4;

  ReadAheadStream() = default;
  // Stops the decompression (a piece being made is finished first).
  ~ReadAheadStream();
  ReadAheadStream(const ReadAheadStream&) = delete;
  ReadAheadStream& operator=(const ReadAheadStream&) = delete;

  // As PlainTextStream::Open; on success the decompression starts.
  std::int32_t Open(const std::string& source);
  // As PlainTextStream::Read.
  std::int64_t Read(char* buffer, std::size_t capacity);
  // As PlainTextStream::recorded_length.
  std::int64_t recorded_length() const { return recorded_length_; }

 private:
  struct Piece {
    std::unique_ptr<char[]> bytes;
    // Plain bytes in the piece; 0: the text has ended; below 0: the code
    // of a failure. A piece of 0 or less is the last one.
    std::int64_t size = 0;
  };

  // The decompressing thread: fills the free pieces in turn.
  void Decompress();

  PlainTextStream stream_;
  std::int64_t recorded_length_ = -1;
  std::thread worker_;
  bool threaded_ = false;

  // The pieces from first_ on, count_ of them, are filled and wait for the
  // reader, which has taken taken_ bytes of the first. Guarded by mutex_,
  // but for the bytes of a filled piece, which only the reader touches,
  // and those of a free one, which only the worker touches.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::array<Piece, kPieces> pieces_;
  std::size_t first_ = 0;
  std::size_t count_ = 0;
  bool stop_ = false;
  std::size_t taken_ = 0;
  // Once the last piece is reached: what every further Read returns.
  bool finished_ = false;
  std::int64_t final_result_ = 0;
};

}  // namespace orvane::squeez
