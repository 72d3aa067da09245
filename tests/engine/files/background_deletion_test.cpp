#include "engine/files/background_deletion.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "engine/text/file_checks.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::TempDir;

// True while this process holds a descriptor of a deleted file of that
// path: its blocks are not yet free.
bool StillHeld(const std::string& path) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    std::string target = std::filesystem::read_symlink(entry.path(), ec).string();
    if (!ec && target == path + " (deleted)") return true;
  }
  return false;
}

TEST(BackgroundDeletionTest, NamesGoAtOnceAndLargeFilesAreFreedBehind) {
  TempDir dir;
  std::string small = dir.Write("small.tavo", "0123456789");
  std::string large = dir.Write("large.tavo", std::string(2 << 20, 'x'));
  BackgroundDeletion deletion(1 << 20);

  EXPECT_TRUE(deletion.Delete(small));
  EXPECT_EQ(deletion.pending(), 0);
  EXPECT_TRUE(deletion.Delete(large));
  EXPECT_FALSE(std::filesystem::exists(large));
  deletion.Wait();
  EXPECT_EQ(deletion.pending(), 0);
  EXPECT_FALSE(StillHeld(large));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  // A missing file counts as deleted; a link goes, its target stays.
  EXPECT_TRUE(deletion.Delete(dir.Path("missing.tavo")));
  std::string target = dir.Write("target.txt", std::string(2 << 20, 'y'));
  std::filesystem::create_symlink(target, dir.Path("link.tavo"));
  EXPECT_TRUE(deletion.Delete(dir.Path("link.tavo")));
  EXPECT_FALSE(std::filesystem::is_symlink(dir.Path("link.tavo")));
  EXPECT_EQ(std::filesystem::file_size(target), std::size_t{2} << 20);
}

// A file renamed over another replaces it in one step, and the replaced
// file's blocks are freed behind; a rename that fails changes nothing.
TEST(BackgroundDeletionTest, ReplacesAFileAndFreesTheOldOneBehind) {
  TempDir dir;
  std::string old_file = dir.Write("p_data.tavo", std::string(2 << 20, 'o'));
  std::string new_file = dir.Write("p_data.x.part.tavo", "new");
  BackgroundDeletion deletion(1 << 20);
  ASSERT_TRUE(deletion.Replace(new_file, old_file).ok());
  EXPECT_EQ(testing::ReadFileBytes(old_file), "new");
  EXPECT_FALSE(std::filesystem::exists(new_file));
  deletion.Wait();
  EXPECT_FALSE(StillHeld(old_file));

  Status failed = deletion.Replace(dir.Path("missing.tavo"), old_file);
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.message(), "Cannot rename " + dir.Path("missing.tavo") +
                                  ": No such file or directory");
  EXPECT_EQ(testing::ReadFileBytes(old_file), "new");
  EXPECT_EQ(deletion.pending(), 0);
}

// Issue 18: the end of the Index Module waited for the blocks of a large
// deleted file to be freed. The deletion goes on without its owner.
TEST(BackgroundDeletionTest, ItsEndDoesNotWaitForTheBlocks) {
  TempDir dir;
  std::string path = dir.Write("large.tavo", std::string(1 << 20, 'x'));
  struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    bool closed = false;
  };
  auto gate = std::make_shared<Gate>();
  {
    BackgroundDeletion deletion(0, [gate](int fd) {
      std::unique_lock<std::mutex> lock(gate->mutex);
      gate->changed.wait(lock, [&] { return gate->open; });
      ::close(fd);
      gate->closed = true;
      gate->changed.notify_all();
    });
    EXPECT_TRUE(deletion.Delete(path));
    EXPECT_EQ(deletion.pending(), 1);
  }  // gone while the close still holds
  EXPECT_FALSE(std::filesystem::exists(path));
  std::unique_lock<std::mutex> lock(gate->mutex);
  EXPECT_FALSE(gate->closed);
  gate->open = true;
  gate->changed.notify_all();
  gate->changed.wait(lock, [&] { return gate->closed; });
  lock.unlock();
  EXPECT_FALSE(StillHeld(path));
}

TEST(BackgroundDeletionTest, ClearsReadOnlyOnlyWhenForcible) {
  TempDir dir;
  BackgroundDeletion deletion(0);  // every file through the worker
  std::string path = dir.Write("old_data.tavo", "scores");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_TRUE(deletion.Delete(path, /*forcibly=*/true));
  EXPECT_FALSE(std::filesystem::exists(path));
  deletion.Wait();
  EXPECT_FALSE(StillHeld(path));
}

TEST(BackgroundDeletionTest, AFileThatCannotBeDeletedStaysAndIsNotHeld) {
  TempDir dir;
  std::string path = dir.Write("kept.tavo", std::string(4096, 'z'));
  // Readable by everyone, in a folder that no one but root may change.
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  int pauses = 0;
  SetDeleteRetryPauseForTesting([&] { ++pauses; });
  int result = testing::RunUnprivileged([&] {
    BackgroundDeletion deletion(0);
    bool deleted = deletion.Delete(path);
    deletion.Wait();
    return deleted ? 1 : StillHeld(path) ? 2 : 0;
  });
  SetDeleteRetryPauseForTesting(nullptr);
  chmod(dir.path().c_str(), 0700);
  if (result == -1000) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace orvane
