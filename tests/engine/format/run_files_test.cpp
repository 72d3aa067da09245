#include "engine/format/run_files.h"

#include <gtest/gtest.h>

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
