#include "engine/format/run_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <system_error>
#include <vector>

#include "engine/format/file_names.h"

namespace orvane {

namespace {

constexpr std::string_view kLockWhat = "run";

std::string LockPath(const std::string& folder, const std::string& project,
                     std::string_view tag) {
  return folder + project + "_" + std::string(kLockWhat) + "." +
         std::string(tag) + ".part.tavo";
}

std::string NewTag() {
  std::random_device random;
  char text[32];
  std::snprintf(text, sizeof text, "%ld-%08x", static_cast<long>(::getpid()),
                static_cast<unsigned>(random()));
  return text;
}

void Remove(const std::string& path, BackgroundDeletion* deletion) {
  if (deletion != nullptr) {
    (void)deletion->Delete(path, /*forcibly=*/false);
  } else {
    ::unlink(path.c_str());
  }
}

// True when the run of the lock file has ended: the file is gone, or its
// lock can be taken. *fd then holds the lock, or -1.
bool RunHasEnded(const std::string& lock_path, int* fd) {
  *fd = ::open(lock_path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (*fd < 0) return errno == ENOENT;
  if (::flock(*fd, LOCK_EX | LOCK_NB) == 0) return true;
  ::close(*fd);
  *fd = -1;
  return false;
}

// True when fd is open on the file that path names.
bool SameFile(int fd, const std::string& path) {
  struct stat held, named;
  return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
         held.st_ino == named.st_ino && held.st_dev == named.st_dev;
}

}  // namespace

void RemoveEndedRunFiles(const std::string& folder, const std::string& project,
                         BackgroundDeletion* deletion) {
  // The files of earlier versions' runs, which had one name per project.
  for (const std::string& final_path :
       {IndexFilePath(folder, project), DataFilePath(folder, project)}) {
    Remove(PartialFilePath(final_path, ""), deletion);
  }
  Remove(CompressionWorkPath(IndexFilePath(folder, project)), deletion);
  // Earlier versions kept the documents' texts in a file of their own.
  Remove(TextFilePathFor(IndexFilePath(folder, project)), deletion);
  RemoveEndedSearchStores(StoreFilePath(folder, project));

  std::map<std::string, std::vector<std::string>> names_of_tag;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  while (dirent* entry = ::readdir(dir)) {
    std::optional<PartialFileName> name =
        ParsePartialFileName(entry->d_name, project);
    if (name && name->what != kLockWhat) {
      names_of_tag[name->tag].push_back(entry->d_name);
    } else if (name) {
      names_of_tag[name->tag];  // a lock file alone is removed too
    }
  }
  ::closedir(dir);
  for (const auto& [tag, names] : names_of_tag) {
    const std::string lock_path = LockPath(folder, project, tag);
    int fd = -1;
    if (!RunHasEnded(lock_path, &fd)) continue;
    for (const std::string& name : names) Remove(folder + name, deletion);
    // The lock file goes last, while its lock is held: a run that finds it
    // gone knows that its files are gone too.
    if (fd >= 0) {
      ::unlink(lock_path.c_str());
      ::close(fd);
    }
  }
}

RunFiles::~RunFiles() { Release(); }

Status RunFiles::Claim(const std::string& folder, const std::string& project,
                       BackgroundDeletion* deletion) {
  Release();
  RemoveEndedRunFiles(folder, project, deletion);
  // A new tag's lock file cannot be another run's; should a run that
  // clears leftovers take its lock between its creation and this run's
  // lock, or have removed it, this run takes another tag.
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::string tag = NewTag();
    std::string path = LockPath(folder, project, tag);
    int fd = ::open(path.c_str(),
                    O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return Status::Failed("Cannot create " + path + ": " +
                            std::generic_category().message(errno));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, path)) {
      lock_fd_ = fd;
      lock_path_ = std::move(path);
      tag_ = std::move(tag);
      return Status::Ok();
    }
    ::close(fd);
  }
  return Status::Failed("Cannot lock a file of this run in " + folder + ".");
}

std::string RunFiles::PartialPath(std::string_view final_path) const {
  return PartialFilePath(final_path, tag_);
}

void RunFiles::Release() {
  if (lock_fd_ < 0) return;
  ::unlink(lock_path_.c_str());
  ::close(lock_fd_);
  lock_fd_ = -1;
  lock_path_.clear();
  tag_.clear();
}

void RemoveEndedSearchStores(const std::string& store_path) {
  // The work files are named StoreFileWorkPath(store_path, PID): the
  // head of the name, the process id's digits, the ending.
  constexpr std::string_view kEnding = ".part.tavo";
  std::string head = StoreFileWorkPath(store_path, 0);
  head.resize(head.size() - 1 - kEnding.size());
  const std::size_t slash = head.rfind('/');
  const std::string folder =
      slash == std::string::npos ? "./" : head.substr(0, slash + 1);
  const std::string_view name_head =
      std::string_view(head).substr(slash == std::string::npos ? 0 : slash + 1);
  std::vector<std::pair<std::string, long>> found;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  while (dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name.size() <= name_head.size() + kEnding.size() ||
        name.substr(0, name_head.size()) != name_head ||
        name.substr(name.size() - kEnding.size()) != kEnding) {
      continue;
    }
    std::string_view digits = name.substr(
        name_head.size(), name.size() - name_head.size() - kEnding.size());
    if (digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos) {
      continue;
    }
    found.emplace_back(std::string(name), std::atol(std::string(digits).c_str()));
  }
  ::closedir(dir);
  for (const auto& [name, pid] : found) {
    // A process that is still there (or one of another user) may be
    // writing it, with or without a lock.
    if (pid == ::getpid() || (pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 ||
                                          errno != ESRCH))) {
      continue;
    }
    const std::string path = folder + name;
    int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, path)) {
      ::unlink(path.c_str());
    }
    ::close(fd);
  }
}

SearchStoreWork::~SearchStoreWork() { Release(); }

Status SearchStoreWork::Claim(const std::string& store_path,
                              const std::string& work_path) {
  Release();
  RemoveEndedSearchStores(store_path);
  // Another search removing a leftover between the creation and the lock
  // would leave this one locking a file without a name: it tries again.
  for (int attempt = 0; attempt < 8; ++attempt) {
    int fd = ::open(work_path.c_str(),
                    O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
      return Status::Failed("Cannot create " + work_path + ": " +
                            std::generic_category().message(errno));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, work_path)) {
      fd_ = fd;
      work_path_ = work_path;
      return Status::Ok();
    }
    ::close(fd);
  }
  return Status::Failed("Cannot lock " + work_path + ".");
}

void SearchStoreWork::Release() {
  if (fd_ < 0) return;
  // Published, the file has the store's name and this one names nothing.
  if (SameFile(fd_, work_path_)) ::unlink(work_path_.c_str());
  ::close(fd_);
  fd_ = -1;
  work_path_.clear();
}

}  // namespace orvane
