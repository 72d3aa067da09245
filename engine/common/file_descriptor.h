// A POSIX file descriptor that closes itself, and the read and write loops
// that the file checks and the compression component share: they read
// whole buffers, retry interrupted calls and report failures as results.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvane {

class FileDescriptor {
 public:
  // Takes ownership of fd; a negative fd stands for a failed open.
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { Close(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }

  // Closes the descriptor now. False when closing reports a failure (for a
  // file written to: data that did not reach the file).
  bool Close();

 private:
  int fd_;
};

// Reads until the buffer is full or the file ends. Returns the number of
// bytes read (less than size only at the end of the file), or -1 on a read
// error. With file_remaining, the bytes the file held from here when it was
// opened, a read that reaches them is taken as the end of the file, without
// one more read to find that out.
ssize_t ReadFully(int fd, void* buffer, std::size_t size,
                  std::int64_t file_remaining = INT64_MAX);

// Writes all size bytes. False on a write error.
bool WriteFully(int fd, const void* data, std::size_t size);

// Writes the folder that holds path through to the disk, so that a rename
// into it lasts; a failure is ignored (the file itself is synced).
void SyncFolderOf(const std::string& path);

}  // namespace orvane
