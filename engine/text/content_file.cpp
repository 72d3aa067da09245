#include "engine/text/content_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace orvane {

namespace {

// Raw bytes of a UTF-16 file read at a time.
constexpr std::size_t kRawBlock = 64 * 1024;

// pread until the buffer is full or the file ends; -1 on an error.
ssize_t PreadFully(int fd, char* buffer, std::size_t size, off_t offset) {
  std::size_t total = 0;
  while (total < size) {
    ssize_t n = ::pread(fd, buffer + total, size - total,
                        offset + static_cast<off_t>(total));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    total += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(total);
}

}  // namespace

void ContentFile::Start(int fd) {
  fd_ = fd;
  started_reading_ = false;
  order_ = Utf16Order::kNone;
  pending_.clear();
  pending_at_ = 0;
  raw_ended_ = false;
}

bool ContentFile::DecodeMore(bool* failed) {
  if (raw_ended_) return false;
  if (raw_.empty()) raw_.resize(kRawBlock);
  ssize_t got;
  do {
    got = ::read(fd_, raw_.data(), raw_.size());
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    *failed = true;
    return false;
  }
  pending_.erase(0, pending_at_);
  pending_at_ = 0;
  if (got == 0) {
    raw_ended_ = true;
    decoder_.Finish(&pending_);
  } else {
    decoder_.Decode(
        std::string_view(raw_.data(), static_cast<std::size_t>(got)),
        &pending_);
  }
  return true;
}

ssize_t ContentFile::Read(char* buffer, std::size_t size) {
  if (!utf16()) {
    ssize_t got;
    do {
      got = ::read(fd_, buffer, size);
    } while (got < 0 && errno == EINTR);
    if (started_reading_ || got < 2) {
      started_reading_ = started_reading_ || got > 0;
      return got;
    }
    // The first bytes of the file: a UTF-16 mark makes them, and all
    // that follows, decoded text.
    started_reading_ = true;
    order_ = Utf16Mark(std::string_view(buffer, 2));
    if (!utf16()) return got;
    decoder_ = Utf16Decoder(order_);
    decoder_.Decode(std::string_view(buffer, static_cast<std::size_t>(got)),
                    &pending_);
  }
  std::size_t filled = 0;
  while (filled < size) {
    if (pending_at_ == pending_.size()) {
      bool failed = false;
      if (!DecodeMore(&failed)) {
        if (failed && filled == 0) return -1;
        break;
      }
      continue;
    }
    std::size_t take = std::min(size - filled, pending_.size() - pending_at_);
    std::memcpy(buffer + filled, pending_.data() + pending_at_, take);
    pending_at_ += take;
    filled += take;
  }
  return static_cast<ssize_t>(filled);
}

ssize_t ContentFile::ReadFully(char* buffer, std::size_t size,
                               std::int64_t file_remaining) {
  std::size_t total = 0;
  while (total < size) {
    ssize_t got = Read(buffer + total, size - total);
    if (got < 0) return -1;
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
    if (!utf16() && static_cast<std::int64_t>(total) >= file_remaining) break;
  }
  return static_cast<ssize_t>(total);
}

std::int64_t ContentFile::Length(std::int64_t size_on_disk) const {
  if (!utf16()) return size_on_disk;
  Utf16Decoder decoder(order_);
  std::vector<char> raw(kRawBlock);
  std::string decoded;
  std::int64_t length = 0;
  off_t offset = 0;
  while (true) {
    ssize_t got = PreadFully(fd_, raw.data(), raw.size(), offset);
    if (got < 0) return -1;
    decoded.clear();
    if (got == 0) {
      decoder.Finish(&decoded);
      return length + static_cast<std::int64_t>(decoded.size());
    }
    decoder.Decode(std::string_view(raw.data(), static_cast<std::size_t>(got)),
                   &decoded);
    length += static_cast<std::int64_t>(decoded.size());
    offset += got;
  }
}

}  // namespace orvane
