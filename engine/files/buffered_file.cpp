#include "engine/files/buffered_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace orvane {

namespace {

constexpr std::size_t kFlushSize = std::size_t{1} << 20;

std::string Description(int error) {
  return std::generic_category().message(error);
}

}  // namespace

BufferedFile::~BufferedFile() { Abandon(); }

Status BufferedFile::Fail(int error) {
  if (status_.ok()) {
    error_ = error;
    status_ = Status::Failed("Error when writing " + path_ + ": " +
                             Description(error));
  }
  return status_;
}

Status BufferedFile::Create(const std::string& path) {
  Abandon();
  path_ = path;
  fd_ = ::open(path.c_str(),
               O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  return Opened();
}

Status BufferedFile::CreateUnnamed(const std::string& beside) {
  Abandon();
  path_ = "a work file beside " + beside;
  std::size_t slash = beside.rfind('/');
  std::string folder = slash == std::string::npos ? "."
                       : slash == 0                ? "/"
                                                   : beside.substr(0, slash);
  fd_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    // A file system without unnamed files: a named one, unlinked at once.
    std::string name = beside + ".XXXXXX";
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ >= 0) ::unlink(name.c_str());
  }
  return Opened();
}

Status BufferedFile::Opened() {
  const int error = errno;
  status_ = Status::Ok();
  error_ = 0;
  buffer_.clear();
  appended_ = 0;
  if (fd_ < 0) {
    error_ = error;
    status_ = Status::Failed("Cannot create " + path_ + ": " +
                             Description(error));
    return status_;
  }
  struct stat st;
  if (fstat(fd_, &st) == 0 && st.st_blksize >= 512 &&
      (st.st_blksize & (st.st_blksize - 1)) == 0) {
    block_size_ = static_cast<std::size_t>(st.st_blksize);
  }
  buffer_.reserve(kFlushSize + 4096);
  return status_;
}

void BufferedFile::Append(std::string_view bytes) {
  if (!status_.ok()) return;
  buffer_.append(bytes);
  appended_ += bytes.size();
  if (buffer_.size() >= kFlushSize) (void)Flush();
}

Status BufferedFile::Flush() {
  if (!status_.ok() || fd_ < 0) return status_;
  std::size_t done = 0;
  while (done < buffer_.size()) {
    ssize_t wrote = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    done += static_cast<std::size_t>(wrote);
  }
  buffer_.clear();
  return status_;
}

Status BufferedFile::WriteAt(std::uint64_t offset, const void* bytes,
                             std::size_t size) {
  if (!Flush().ok()) return status_;
  const char* from = static_cast<const char*>(bytes);
  std::size_t done = 0;
  while (done < size) {
    ssize_t wrote = ::pwrite(fd_, from + done, size - done,
                             static_cast<off_t>(offset + done));
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return Fail(errno);
    }
    done += static_cast<std::size_t>(wrote);
  }
  return status_;
}

Status BufferedFile::ReadAt(std::uint64_t offset, void* buffer,
                            std::size_t size) {
  if (!Flush().ok()) return status_;
  auto* into = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    ssize_t got = ::pread(fd_, into + done, size - done,
                          static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      error_ = got < 0 ? errno : EIO;
      status_ = Status::Failed("Error when reading " + path_ + ": " +
                               Description(error_));
      return status_;
    }
    done += static_cast<std::size_t>(got);
  }
  return status_;
}

Status BufferedFile::Resize(std::uint64_t length) {
  if (!status_.ok()) return status_;
  if (::ftruncate(fd_, static_cast<off_t>(length)) != 0) return Fail(errno);
  return status_;
}

Status BufferedFile::Close(bool sync) {
  if (fd_ < 0) return status_;
  (void)Flush();
  if (sync && status_.ok() && ::fsync(fd_) != 0) (void)Fail(errno);
  if (::close(fd_) != 0) (void)Fail(errno);
  fd_ = -1;
  return status_;
}

void BufferedFile::Abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace orvane
