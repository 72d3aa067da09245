#include "engine/files/background_deletion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <thread>


namespace orvane {

BackgroundDeletion::BackgroundDeletion(std::uint64_t min_background_bytes,
                                       CloseFunction close)
    : min_background_bytes_(min_background_bytes),
      shared_(std::make_shared<Shared>()) {
  shared_->close = close ? std::move(close) : [](int fd) { ::close(fd); };
}

BackgroundDeletion::~BackgroundDeletion() = default;


int BackgroundDeletion::HoldIfLarge(const std::string& path) const {
  // The descriptor keeps the file's blocks while its name is removed,
  // which is quick; closing it afterwards frees them. A link is not
  // followed: it is removed itself, which costs nothing.
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  bool large = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
               static_cast<std::uint64_t>(st.st_blocks) * 512 >=
                   min_background_bytes_;
  if (!large) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void BackgroundDeletion::FreeBehind(int fd) {
  std::shared_ptr<Shared> shared = shared_;
  {
    std::lock_guard<std::mutex> lock(shared->mutex);
    ++shared->pending;
  }
  auto close_and_count = [shared, fd] {
    shared->close(fd);
    std::lock_guard<std::mutex> lock(shared->mutex);
    --shared->pending;
    shared->done.notify_all();
  };
  try {
    // Nobody joins the thread: a window that goes (or the program's end)
    // never waits for the blocks.
    std::thread(close_and_count).detach();
  } catch (const std::system_error&) {
    // No thread to be had: the blocks are freed here.
    close_and_count();
  }
}

bool BackgroundDeletion::Delete(const std::string& path, bool forcibly) {
  if (forcibly) return Delete(path, kClearAllAttributes);
  return DeleteWith(path, [](const std::string& name) {
    return ::unlink(name.c_str()) == 0 || errno == ENOENT;
  });
}

bool BackgroundDeletion::Delete(const std::string& path,
                                DeleteOptions options) {
  return DeleteWith(path, [options](const std::string& name) {
    return DeleteFileForcibly(name, options);
  });
}

bool BackgroundDeletion::DeleteWith(
    const std::string& path,
    const std::function<bool(const std::string&)>& unlink) {
  int fd = HoldIfLarge(path);
  if (fd < 0) return unlink(path);
  if (!unlink(path)) {
    ::close(fd);
    return false;
  }
  FreeBehind(fd);
  return true;
}

Status BackgroundDeletion::Replace(const std::string& from,
                                   const std::string& to) {
  int fd = HoldIfLarge(to);
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    int error = errno;
    if (fd >= 0) ::close(fd);
    return Status::Failed("Cannot rename " + from + ": " +
                          std::generic_category().message(error));
  }
  if (fd >= 0) FreeBehind(fd);
  return Status::Ok();
}

void BackgroundDeletion::Wait() {
  std::unique_lock<std::mutex> lock(shared_->mutex);
  shared_->done.wait(lock, [this] { return shared_->pending == 0; });
}

int BackgroundDeletion::pending() const {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  return shared_->pending;
}

}  // namespace orvane
