// Deleting files whose blocks take long to free. On a file system that
// discards the blocks it frees, removing a data file of several GB with
// hundreds of thousands of scattered blocks can block for a minute, and a
// run that replaces its old files should not wait for that. The file's name
// goes at once, so nothing is left under it whatever happens next; its
// blocks are freed when the last descriptor of the file is closed, and that
// close happens on a worker thread. A process that ends early (killed)
// frees the blocks as it exits; no file is left behind either way.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvane {

class BackgroundDeletion {
 public:
  // Files that occupy fewer bytes than min_background_bytes are deleted
  // wholly before Delete returns.
  static constexpr std::uint64_t kDefaultMinBackgroundBytes =
      std::uint64_t{64} << 20;
  explicit BackgroundDeletion(
      std::uint64_t min_background_bytes = kDefaultMinBackgroundBytes);
  // Waits for every deletion begun.
  ~BackgroundDeletion();
  BackgroundDeletion(const BackgroundDeletion&) = delete;
  BackgroundDeletion& operator=(const BackgroundDeletion&) = delete;

  // Deletes the file: forcibly as DeleteFileForcibly(path,
  // kClearAllAttributes) does (read-only cleared, retries), otherwise with
  // one attempt.
  // True unless the delete failed; true for a missing file. When true is
  // returned the name is gone; the blocks of a large file may still be
  // being freed.
  bool Delete(const std::string& path, bool forcibly = true);

  // Waits until the blocks of every file deleted so far are free.
  void Wait();

  // The number of deletions still freeing blocks (tests).
  int pending() const { return pending_count_->load(); }

 private:
  // Joins the workers that have finished.
  void Reap();

  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  const std::uint64_t min_background_bytes_;
  std::mutex mutex_;
  std::vector<Worker> workers_;
  std::shared_ptr<std::atomic<int>> pending_count_ =
      std::make_shared<std::atomic<int>>(0);
};

}  // namespace orvane
