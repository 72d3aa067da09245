// A file written through a large buffer, for the large files a run writes
// (the index text, the data file and the store, and the store's work
// files).
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

  // Creates the file (replacing one of that name) for writing and reading
  // back.
  Status Create(const std::string& path);
  // Creates a file without a name in the folder of beside (a path), so that
  // nothing of it is left when it is closed, however the program ends;
  // messages call it a work file beside that path.
  Status CreateUnnamed(const std::string& beside);
  void Append(std::string_view bytes);
  // Writes bytes at an offset (after writing out what is buffered).
  Status WriteAt(std::uint64_t offset, const void* bytes, std::size_t size);
  // Reads size bytes at offset into buffer (after writing out what is
  // buffered). Failed also when the file ends before.
  Status ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
  // Sets the file's length; a longer file gets a hole, not zeros.
  Status Resize(std::uint64_t length);
  Status Flush();
  // Flushes and closes the file; with sync it is first written through to
  // the disk.
  Status Close(bool sync);
  // Closes without further writes (after a failure).
  void Abandon();
  std::uint64_t appended() const { return appended_; }
  // Ok, or the first failure.
  const Status& status() const { return status_; }
  const std::string& path() const { return path_; }
  // The system's error number of the first failure, or 0.
  int error() const { return error_; }
  // The file system's block size (for holes); 4096 when unknown.
  std::size_t block_size() const { return block_size_; }

 private:
  // Sets up the file just opened (fd_, path_), or the failure to open it.
  Status Opened();
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
