// Deleting and replacing files whose blocks take long to free. On a file
// system that discards the blocks it frees, removing a data file of several
// GB with hundreds of thousands of scattered blocks can block for a minute,
// and neither a run nor a window may wait for that. The file's name goes at
// once, so nothing is left under it whatever happens next; its blocks are
// freed when the last descriptor of the file is closed, and that close
// happens on a thread of its own, which nobody waits for. When the process
// ends first (it quits, or is killed) the system closes the descriptor and
// frees the blocks itself: the name is gone either way, so no file is left
// behind.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "engine/common/status.h"
#include "engine/text/file_checks.h"

namespace orvane {

class BackgroundDeletion {
 public:
  // Files that occupy fewer bytes than min_background_bytes are deleted
  // wholly before Delete returns.
  static constexpr std::uint64_t kDefaultMinBackgroundBytes =
      std::uint64_t{64} << 20;
  // What closes a held descriptor, which frees the blocks of a deleted
  // file: ::close, unless a test makes it slow.
  using CloseFunction = std::function<void(int descriptor)>;
  explicit BackgroundDeletion(
      std::uint64_t min_background_bytes = kDefaultMinBackgroundBytes,
      CloseFunction close = nullptr);
  // Returns at once: the deletions begun go on without the object.
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
  // The same with DeleteFileForcibly's options (a read-only file is not
  // deleted unless they clear read-only).
  bool Delete(const std::string& path, DeleteOptions options);

  // Renames from to to, replacing the file to names in one step; the
  // blocks of the replaced file are freed as Delete frees them. Failed:
  // the rename failed, and both files are as they were.
  Status Replace(const std::string& from, const std::string& to);

  // Waits until the blocks of every file deleted or replaced so far are
  // free.
  void Wait();

  // The number of deletions still freeing blocks (tests).
  int pending() const;

 private:
  bool DeleteWith(const std::string& path,
                  const std::function<bool(const std::string&)>& unlink);
  // Hands the descriptor of a deleted large file to a thread that closes
  // it.
  void FreeBehind(int descriptor);
  // The descriptor of the file at path when its blocks are to be freed
  // behind; -1 when it is small, missing or not a regular file.
  int HoldIfLarge(const std::string& path) const;

  // Shared with the threads, which may outlive the object.
  struct Shared {
    std::mutex mutex;
    std::condition_variable done;
    int pending = 0;
    CloseFunction close;
  };
  const std::uint64_t min_background_bytes_;
  std::shared_ptr<Shared> shared_;
};

}  // namespace orvane
