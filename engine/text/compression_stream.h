// Reading a compressed index piece by piece: the plain text of a file made
// by squeez::_cf, delivered in order without writing it anywhere, so that a
// reader can stop once it has what it needs (the Search Module reads the
// file list and the lexicon and leaves the count lines compressed when its
// data file is current).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
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

}  // namespace orvane::squeez
