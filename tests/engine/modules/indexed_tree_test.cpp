// Searches over an index that the Index Module's engine built: its data
// file is reused as it is, and the results match the tree.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "engine/common/program_folder.h"
#include "engine/index/common_words.h"
#include "engine/index/index_settings.h"
#include "engine/modules/index_module.h"
#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

TEST(IndexedTreeTest, DataFileOfTheIndexModuleIsReused) {
  TempDir dir;
  const std::string filler(400, ' ');
  dir.Write("top/a.txt", "The quick brown fox jumps over the lazy dog." + filler);
  dir.Write("top/b.txt", "A lazy afternoon; the dog sleeps, the fox watches." + filler);
  dir.Write("top/c.txt", "Nothing about animals here." + filler);
  RecordingPrompter prompter;
  RecordingViewState view;
  ScriptedYield yield;
  FakeLargeDisplay display;
  FakeClock clock;
  LauncherState launcher;
  IndexModule indexer(IndexPorts{prompter, view, yield, display, clock, launcher});
  IndexSettings& settings = indexer.settings();
  SetDefaults(&settings);
  settings.txbProjectName = "tree";
  settings.txbTitle = "Tree";
  settings.txbTopFolder = dir.folder() + "top/";
  settings.txbOutputFolder = dir.folder();
  ASSERT_EQ(indexer.CreateIndexFile(), RunOutcome::kCompleted)
      << prompter.Transcript();

  const std::string data = dir.Path("tree_data.tavo");
  const std::string bytes = ReadFileBytes(data);
  struct stat before {};
  ASSERT_EQ(stat(data.c_str(), &before), 0);

  SearchFixture f;
  f.settings().txbIndexFile = indexer.state().index_path;
  f.settings().txbTopFolder = settings.txbTopFolder;
  f.settings().chkGenerateHTML = false;
  f.settings().txbSearchWords = "lazy fox";
  ASSERT_EQ(f.module.Search(), SearchModule::SearchClick::kSearched)
      << f.Messages();
  EXPECT_EQ(f.state().strFilesFound,
            (std::vector<std::string>{"a.txt", "b.txt"}));
  struct stat after {};
  ASSERT_EQ(stat(data.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(ReadFileBytes(data), bytes);

  f.settings().cboSearchType = SearchType::kExactPhrase;
  f.settings().txbSearchWords = "the fox";
  ASSERT_EQ(f.module.Search(), SearchModule::SearchClick::kSearched);
  EXPECT_EQ(f.state().strFilesFound, std::vector<std::string>{"b.txt"});
}

}  // namespace
}  // namespace orvane::testing
