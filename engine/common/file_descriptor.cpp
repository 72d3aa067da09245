#include "engine/common/file_descriptor.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace orvane {

bool FileDescriptor::Close() {
  if (fd_ < 0) return true;
  int result = ::close(fd_);
  fd_ = -1;
  return result == 0;
}

ssize_t ReadFully(int fd, void* buffer, std::size_t size,
                  std::int64_t file_remaining) {
  auto* bytes = static_cast<char*>(buffer);
  std::size_t total = 0;
  while (total < size) {
    ssize_t n = ::read(fd, bytes + total, size - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    total += static_cast<std::size_t>(n);
    if (static_cast<std::int64_t>(total) >= file_remaining) break;
  }
  return static_cast<ssize_t>(total);
}

bool WriteFully(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd, bytes, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void SyncFolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  if (folder.empty()) folder = "/";
  FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.ok()) ::fsync(fd.get());
}

}  // namespace orvane
