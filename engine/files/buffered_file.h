// A file written through a large buffer, for the large files a run writes
// (the index text and the data file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/common/status.h"

namespace orvane {

// A file written through a large buffer; the first failure sticks and is
// returned by every later call.
class BufferedFile {
 public:
  BufferedFile() = default;
  ~BufferedFile();
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;

  // Creates the file (replacing one of that name) for writing.
  Status Create(const std::string& path);
  void Append(std::string_view bytes);
  // Writes bytes at an offset, past what Append wrote (REQUIRES: nothing
  // buffered).
  Status WriteAt(std::uint64_t offset, const void* bytes, std::size_t size);
  // Sets the file's length; a longer file gets a hole, not zeros.
  Status Resize(std::uint64_t length);
  Status Flush();
  // Flushes and closes the file; with sync it is first written through to
  // the disk.
  Status Close(bool sync);
  // Closes without further writes (after a failure).
  void Abandon();
  std::uint64_t appended() const { return appended_; }
  const std::string& path() const { return path_; }
  // The system's error number of the first failure, or 0.
  int error() const { return error_; }
  // The file system's block size (for holes); 4096 when unknown.
  std::size_t block_size() const { return block_size_; }

 private:
  Status Fail(int error);

  int fd_ = -1;
  std::string path_;
  std::string buffer_;
  std::uint64_t appended_ = 0;
  std::size_t block_size_ = 4096;
  Status status_;
  int error_ = 0;
};

}  // namespace orvane
