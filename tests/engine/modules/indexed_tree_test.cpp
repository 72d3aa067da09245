// Searches over an index that the Index Module's engine built: its data
// file is reused as it is, and the results match the tree.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "engine/common/program_folder.h"
#include "engine/index/common_words.h"
#include "engine/index/index_settings.h"
#include "engine/modules/index_module.h"
#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

// The Index Module's engine over dir/top/, its index and data file in dir.
struct Indexer {
  explicit Indexer(const TempDir& dir) {
    IndexSettings& s = module.settings();
    SetDefaults(&s);
    s.txbProjectName = "tree";
    s.txbTitle = "Tree";
    s.txbTopFolder = dir.folder() + "top/";
    s.txbOutputFolder = dir.folder();
    s.chkWriteClassicDataFile = true;
  }
  RecordingPrompter prompter;
  RecordingViewState view;
  ScriptedYield yield;
  FakeLargeDisplay display;
  FakeClock clock;
  LauncherState launcher;
  IndexModule module{
      IndexPorts{prompter, view, yield, display, clock, launcher}};
};

TEST(IndexedTreeTest, DataFileOfTheIndexModuleIsReused) {
  TempDir dir;
  const std::string filler(400, ' ');
  dir.Write("top/a.txt",
            "The quick brown fox jumps over the lazy dog." + filler);
  dir.Write("top/b.txt",
            "A lazy afternoon; the dog sleeps, the fox watches." + filler);
  dir.Write("top/c.txt", "Nothing about animals here." + filler);
  Indexer tree(dir);
  IndexModule& indexer = tree.module;
  const IndexSettings& settings = indexer.settings();
  ASSERT_EQ(indexer.CreateIndexFile(), RunOutcome::kCompleted)
      << tree.prompter.Transcript();

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

// The store the run wrote is the one the search answers from, and a found
// file unchanged since the run shows the title the store keeps, without
// being read: a file whose bytes changed but not its size and time still
// shows the old title; once its time changes, the new one.
TEST(IndexedTreeTest, TheRunsStoreIsReusedAndKeepsTheTitles) {
  TempDir dir;
  const std::string filler(400, ' ');
  const std::string page = dir.Write(
      "top/a.htm", "<html><title>Old &amp; gold</title><body>lazy fox" +
                       filler + "</body></html>");
  dir.Write("top/b.txt", "A lazy dog sleeps all day." + filler);
  Indexer tree(dir);
  tree.module.settings().chkWriteClassicDataFile = false;
  ASSERT_EQ(tree.module.CreateIndexFile(), RunOutcome::kCompleted)
      << tree.prompter.Transcript();
  const std::string store = dir.Path("tree_store.tavo");
  const std::string bytes = ReadFileBytes(store);
  EXPECT_FALSE(FileExists(dir.Path("tree_data.tavo")));

  SearchFixture f(IndexStoreKind::kStore);
  f.settings().txbIndexFile = tree.module.state().index_path;
  f.settings().txbTopFolder = tree.module.settings().txbTopFolder;
  f.settings().chkGenerateHTML = false;
  f.settings().txbSearchWords = "lazy";
  auto search = [&] {
    EXPECT_EQ(f.module.Search(), SearchModule::SearchClick::kSearched)
        << f.Messages();
    return f.results();
  };
  const std::string top = tree.module.settings().txbTopFolder;
  EXPECT_EQ(search(), top + "a.htm\r\nOld gold\r\n\r\n" + top +
                          "b.txt\r\n\"A lazy dog sleeps all day. \"\r\n\r\n");
  EXPECT_TRUE(ReadFileBytes(store) == bytes);  // reused, not made again

  struct stat was {};
  ASSERT_EQ(stat(page.c_str(), &was), 0);
  dir.Write("top/a.htm", "<html><title>New &amp; gold</title><body>lazy fox" +
                             filler + "</body></html>");
  const struct timespec times[2] = {was.st_atim, was.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, page.c_str(), times, 0), 0);
  EXPECT_NE(search().find("Old gold"), std::string::npos);
  const struct timespec later[2] = {was.st_atim,
                                    {was.st_mtim.tv_sec + 10, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, page.c_str(), later, 0), 0);
  EXPECT_NE(search().find("New gold"), std::string::npos);
}

// Words with digits are in the lexicon, so they can be searched; other
// characters separate the typed words as they separated the indexed ones.
TEST(IndexedTreeTest, SearchWordsAreCutAsIndexedWordsWere) {
  TempDir dir;
  const std::string filler(400, ' ');
  dir.Write("top/a.txt",
            "Configure IPv6 on the router in 2023. Run git-commit when "
            "version 2.0 ships." +
                filler);
  dir.Write("top/b.txt", "Plain words only, nothing numeric at all." + filler);
  dir.Write("top/c.txt", "The utf8 decoder of 2023 handles ipv6 too." + filler);
  Indexer tree(dir);
  ASSERT_EQ(tree.module.CreateIndexFile(), RunOutcome::kCompleted)
      << tree.prompter.Transcript();
  struct Row {
    const char* typed;
    SearchType type;
    const char* found;  // the files found, joined by blanks
  } rows[] = {
      {"ipv6", SearchType::kAllWords, "a.txt c.txt"},
      {"IPv6 2023", SearchType::kAllWords, "a.txt c.txt"},
      {"utf8", SearchType::kAllWords, "c.txt"},
      {"git-commit", SearchType::kAllWords, "a.txt"},
      {"git-commit", SearchType::kExactPhrase, "a.txt"},
      {"version 2.0", SearchType::kExactPhrase, "a.txt"},
      {"2.0", SearchType::kAllWords, "a.txt"},
      {"20*", SearchType::kAnyWord, "a.txt c.txt"},
      {"numeric, 2023!", SearchType::kAnyWord, "a.txt b.txt c.txt"},
      {"ipv4", SearchType::kAnyWord, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.typed);
    SearchFixture f;
    f.settings().txbIndexFile = tree.module.state().index_path;
    f.settings().txbTopFolder = tree.module.settings().txbTopFolder;
    f.settings().chkGenerateHTML = false;
    f.settings().cboSearchType = r.type;
    f.settings().txbSearchWords = r.typed;
    ASSERT_EQ(f.module.Search(), SearchModule::SearchClick::kSearched)
        << f.Messages();
    std::string found;
    for (const std::string& file : f.state().strFilesFound) {
      found += (found.empty() ? "" : " ") + file;
    }
    EXPECT_EQ(found, r.found);
    EXPECT_EQ(f.Messages(), "");
  }
}

}  // namespace
}  // namespace orvane::testing
