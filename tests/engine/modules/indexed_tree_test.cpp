// Searches over an index that the Index Module's engine built: its data
// file is reused as it is, and the results match the tree.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "engine/common/program_folder.h"
#include "engine/index/common_words.h"
#include "engine/index/index_settings.h"
#include "engine/modules/index_module.h"
#include "engine/search/index_loading.h"
#include "engine/search/search_run.h"
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

namespace orvane::testing {
namespace {

// Past the classic pair's 32,000 files: a run without the classic data
// file takes 40,000 small files, the store answers for every one of them,
// and each word's files are those a plain scan of the tree finds.
TEST(IndexedTreeTest, FortyThousandFilesPastTheClassicLimit) {
  TempDir dir;
  constexpr int kFiles = 40000;
  const char* colours[] = {"red", "green", "blue", "amber", "violet"};
  std::vector<std::string> texts(kFiles);
  for (int k = 0; k < kFiles; ++k) {
    // A word in every file, one in a file of each 7, one in a file of each
    // 1,000, and a word of the file's own.
    texts[k] = std::string("common ") + colours[k % 5] +
               (k % 7 == 0 ? " seventh" : "") + (k % 1000 == 999 ? " rare" : "") +
               " own" + std::to_string(k) + "\r\n";
    dir.Write("top/d" + std::to_string(k / 1000) + "/f" + std::to_string(k) +
                  ".txt",
              texts[k]);
  }
  Indexer tree(dir);
  tree.module.settings().chkWriteClassicDataFile = false;
  tree.module.settings().txbMinimumFilesize = "0";
  FolderError error;
  ASSERT_TRUE(IncludeWholeTree(&tree.module.settings(), &error));
  ASSERT_EQ(tree.module.CreateIndexFile(), RunOutcome::kCompleted)
      << tree.prompter.Transcript();
  EXPECT_FALSE(FileExists(dir.Path("tree_data.tavo")));

  SearchFixture f(IndexStoreKind::kStore);
  ASSERT_TRUE(LoadIndexFile(tree.module.state().index_path, &f.state().index,
                            f.module.ports(), f.state().results))
      << f.Messages();
  ASSERT_EQ(f.state().index.intNumFiles, kFiles);
  // The file numbers of the index, by the path's own number.
  std::vector<int> number_of(kFiles, -1);
  for (std::uint32_t k = 0; k < static_cast<std::uint32_t>(kFiles); ++k) {
    std::string path(f.state().index.FilePath(k));
    number_of[std::stoi(path.substr(path.find("/f") + 2))] = static_cast<int>(k);
  }
  f.settings().txbTopFolder = tree.module.settings().txbTopFolder;
  f.settings().cboSearchType = SearchType::kAnyWord;
  for (const std::string word :
       {"rare", "seventh", "violet", "own38123", "own32001", "common"}) {
    SCOPED_TRACE(word);
    std::vector<std::uint32_t> scanned;
    for (int k = 0; k < kFiles; ++k) {
      if ((" " + texts[k].substr(0, texts[k].size() - 2) + " ")
              .find(" " + word + " ") != std::string::npos) {
        scanned.push_back(static_cast<std::uint32_t>(number_of[k]));
      }
    }
    std::sort(scanned.begin(), scanned.end());
    f.state().strSearchWords = {word};
    ASSERT_EQ(RunSearch(f.settings(), &f.state(), f.module.ports()),
              SearchRunOutcome::kFinished);
    std::vector<std::uint32_t> found;
    for (const FileScore& match : f.state().intFileMatchCounts) {
      found.push_back(match.file_index);
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, scanned);
  }
}

}  // namespace
}  // namespace orvane::testing
