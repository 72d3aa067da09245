#include "engine/files/background_deletion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "engine/text/file_checks.h"

namespace orvane {

BackgroundDeletion::BackgroundDeletion(std::uint64_t min_background_bytes)
    : min_background_bytes_(min_background_bytes) {}

BackgroundDeletion::~BackgroundDeletion() { Wait(); }

namespace {

bool Unlink(const std::string& path, bool forcibly) {
  if (forcibly) return DeleteFileForcibly(path, kClearAllAttributes);
  return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace

bool BackgroundDeletion::Delete(const std::string& path, bool forcibly) {
  Reap();
  // The descriptor keeps the file's blocks while its name is removed, which
  // is quick; closing it afterwards frees them. A link is not followed: it
  // is removed itself, which costs nothing.
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  struct stat st;
  bool large = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
               static_cast<std::uint64_t>(st.st_blocks) * 512 >=
                   min_background_bytes_;
  if (!large) {
    if (fd >= 0) ::close(fd);
    return Unlink(path, forcibly);
  }
  if (!Unlink(path, forcibly)) {
    ::close(fd);
    return false;
  }
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::shared_ptr<std::atomic<int>> count = pending_count_;
  ++*count;
  std::lock_guard<std::mutex> lock(mutex_);
  workers_.push_back(Worker{std::thread([fd, done, count] {
                              ::close(fd);
                              --*count;
                              *done = true;
                            }),
                            done});
  return true;
}

void BackgroundDeletion::Reap() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (it->done->load()) {
      it->thread.join();
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
}

void BackgroundDeletion::Wait() {
  std::vector<Worker> workers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    workers.swap(workers_);
  }
  for (Worker& worker : workers) worker.thread.join();
}

}  // namespace orvane
