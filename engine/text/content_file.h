// An opened file read as content characters, as every reader of file
// content reads it (the text check, word extraction, titles, first texts,
// descriptions and extracts): a file that begins with a UTF-16 byte-order
// mark is decoded from UTF-16, any other file is read byte for byte.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/text/utf_decoding.h"

namespace orvane {

class ContentFile {
 public:
  ContentFile() = default;
  ContentFile(const ContentFile&) = delete;
  ContentFile& operator=(const ContentFile&) = delete;

  // Starts reading fd (not owned; an opened regular file, read from its
  // first byte). The first two bytes that Read reads tell how: no call is
  // spent on finding out, as most files are read byte for byte.
  void Start(int fd);

  // True when the file is read as UTF-16. Known once Read has been called.
  bool utf16() const { return order_ != Utf16Order::kNone; }

  // Reads up to size characters into buffer, as read(2) does: the count,
  // 0 at the end of the file, -1 on a read error (errno tells which). A
  // UTF-16 file fills the buffer unless its end comes first.
  // REQUIRES: size >= 2.
  ssize_t Read(char* buffer, std::size_t size);

  // Read, repeated until the buffer is full or the file ends; a file read
  // byte for byte ends once file_remaining bytes (what it held from here
  // when opened) have been read, without one more call to find that out.
  ssize_t ReadFully(char* buffer, std::size_t size,
                    std::int64_t file_remaining = INT64_MAX);

  // The number of characters of the whole file: size_on_disk for a file
  // read byte for byte; for a UTF-16 file the length of its decoded text,
  // found by reading it once apart from Read. -1 on a read error.
  // REQUIRES: Read has been called.
  std::int64_t Length(std::int64_t size_on_disk) const;

 private:
  // Decodes the next raw block into pending_; false at the end of the file
  // or on a read error (then *failed is set).
  bool DecodeMore(bool* failed);

  int fd_ = -1;
  bool started_reading_ = false;
  Utf16Order order_ = Utf16Order::kNone;
  Utf16Decoder decoder_;
  std::vector<char> raw_;
  std::string pending_;
  std::size_t pending_at_ = 0;
  bool raw_ended_ = false;
};

}  // namespace orvane
