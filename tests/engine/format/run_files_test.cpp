#include "engine/format/run_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::TempDir;

// Two runs at once never share a name, and each keeps its files from the
// other's clearing; what ended runs left goes, and nothing else.
TEST(RunFilesTest, ClearsWhatEndedRunsLeftAndNothingElse) {
  TempDir dir;
  const std::string folder = dir.folder();
  // A run that goes on: it holds its lock.
  RunFiles live;
  ASSERT_TRUE(live.Claim(folder, "p", nullptr).ok());
  const std::string live_index = live.PartialPath(folder + "p_index.tavo");
  dir.Write(live_index.substr(folder.size()), "being written");
  // A run that was killed after it took its lock: the lock file is there,
  // nobody holds it.
  dir.Write("p_run.1-0000000a.part.tavo", "");
  dir.Write("p_index.1-0000000a.part.tavo", "killed");
  dir.Write("p_data.1-0000000a.part.tavo", "killed");
  dir.Write("p_index.1-0000000a.part.ttavoc", "killed");
  dir.Write("p_text.1-0000000a.part.tavo", "killed");
  // Files of a run whose lock file is gone.
  dir.Write("p_data.2-0000000b.part.tavo", "killed");
  // What runs of earlier versions left, under names without a tag.
  dir.Write("p_index.part.tavo", "old");
  dir.Write("p_data.part.tavo", "old");
  dir.Write("p_index.ttavoc", "old");
  dir.Write("p_text.4711.part.tavo", "old");
  dir.Write("p_text.tavo", "old");
  // What is not a run's: the published pair, another project's files, a
  // user's file.
  for (const char* name : {"p_index.tavo", "p_data.tavo",
                           "q_index.3-0000000c.part.tavo", "p notes.txt"}) {
    dir.Write(name, "kept");
  }

  RunFiles next;
  ASSERT_TRUE(next.Claim(folder, "p", nullptr).ok());
  EXPECT_NE(next.tag(), live.tag());
  std::vector<std::string> expected = {
      "p notes.txt", "p_data.tavo", "p_index.tavo",
      "q_index.3-0000000c.part.tavo",
      live_index.substr(folder.size()),
      "p_run." + live.tag() + ".part.tavo",
      "p_run." + next.tag() + ".part.tavo"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dir.Names(), expected);

  // A run's end gives its lock up; the next clearing takes its files.
  live.Release();
  next.Release();
  RemoveEndedRunFiles(folder, "p", nullptr);
  EXPECT_EQ(dir.Names(),
            (std::vector<std::string>{"p notes.txt", "p_data.tavo",
                                      "p_index.tavo",
                                      "q_index.3-0000000c.part.tavo"}));
}

// A process id that no process has (one that has just ended).
long EndedProcessId() {
  pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

// The work file of a search killed while it made the store goes the next
// time a store is made there; that of a search still running (alive, or
// holding its lock) stays, and so does every other file.
TEST(RunFilesTest, ClearsWhatKilledSearchesLeftWhileMakingTheStore) {
  TempDir dir;
  const std::string folder = dir.folder();
  const std::string store = folder + "p_store.tavo";
  const std::string ended = std::to_string(EndedProcessId());
  const std::string killed = "p_store.search-" + ended + ".part.tavo";
  dir.Write(killed, "killed");
  // A running process without a lock (an earlier version's search).
  const std::string running =
      "p_store.search-" + std::to_string(getppid()) + ".part.tavo";
  dir.Write(running, "being written");
  // A lock held, whatever the process id says.
  const std::string locked = "p_store.search-999999999.part.tavo";
  dir.Write(locked, "being written");
  int lock = open(dir.Path(locked).c_str(), O_RDWR);
  ASSERT_GE(lock, 0);
  ASSERT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
  for (const char* name : {"p_store.tavo", "p_store.search-12x.part.tavo",
                           "p_store.search-.part.tavo"}) {
    dir.Write(name, "kept");
  }
  dir.Write("q_store.search-" + ended + ".part.tavo", "another project's");

  const std::string work = folder + "p_store.search-" +
                           std::to_string(getpid()) + ".part.tavo";
  SearchStoreWork search;
  ASSERT_TRUE(search.Claim(store, work).ok());
  std::vector<std::string> names = dir.Names();
  EXPECT_EQ(std::count(names.begin(), names.end(), killed), 0);
  EXPECT_EQ(names.size(), 7u);  // the others and the work file

  // A store made and published from the work file keeps it; one that was
  // not leaves nothing.
  std::filesystem::rename(work, folder + "p_new_store.tavo");
  search.Release();
  EXPECT_TRUE(std::filesystem::exists(folder + "p_new_store.tavo"));
  ASSERT_TRUE(search.Claim(store, work).ok());
  EXPECT_TRUE(std::filesystem::exists(work));
  search.Release();
  EXPECT_FALSE(std::filesystem::exists(work));

  // A lock given up is a search ended; the index run's clearing takes its
  // file too.
  close(lock);
  RemoveEndedRunFiles(folder, "p", nullptr);
  names = dir.Names();
  EXPECT_EQ(std::count(names.begin(), names.end(), locked), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), running), 1);
}

TEST(RunFilesTest, TheLockFileCannotBeCreated) {
  RunFiles run;
  Status claimed = run.Claim("/nonexistent-folder/", "p", nullptr);
  ASSERT_FALSE(claimed.ok());
  EXPECT_EQ(claimed.message().rfind("Cannot create /nonexistent-folder/p_run.", 0),
            0u)
      << claimed.message();
  EXPECT_EQ(run.tag(), "");
}

}  // namespace
}  // namespace orvane
