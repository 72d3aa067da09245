#include "engine/store/store_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "tests/engine/store/store_model.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using testing::Describe;
using testing::MakeModel;
using testing::ReadFileBytes;
using testing::StoreModel;
using testing::TempDir;
using testing::WriteModel;

std::unique_ptr<StoreReader> OpenOrFail(const std::string& path,
                                        const StoreFingerprint& expected) {
  auto reader = StoreReader::Open(path, expected);
  EXPECT_TRUE(reader.ok()) << reader.status().message();
  return reader.ok() ? std::move(*reader) : nullptr;
}

std::vector<std::string> FolderListing(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(StoreWriterTest, ReadsBackEverythingItWrote) {
  // Sizes round the block lengths: no file, files without words, one list
  // of one block, lists of several blocks with skip entries; documents'
  // texts of one document, and of many spanning many pages.
  struct Case {
    std::uint32_t files;
    std::uint32_t vocabulary;
    std::size_t text_step = 0;  // every text_step-th file has a text
  } cases[] = {{0, 1}, {1, 1}, {6, 3}, {128, 50}, {129, 50}, {700, 3000},
               {1, 1, 1}, {129, 50, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.files) + " files, texts " + std::to_string(c.text_step));
    TempDir dir;
    StoreModel model = MakeModel(c.files, c.vocabulary, c.files + 1);
    if (c.text_step > 0) testing::AddModelTexts(&model, c.text_step, 2500);
    std::string path = dir.Path("a_store.tavo");
    Status written = WriteModel(model, path);
    ASSERT_TRUE(written.ok()) << written.message();
    EXPECT_EQ(FolderListing(dir.path()), std::vector<std::string>{"a_store.tavo"});
    auto store = OpenOrFail(path, model.fingerprint);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(Describe(*store), Describe(model));
    EXPECT_EQ(store->fingerprint(), model.fingerprint);
    EXPECT_EQ(store->size(), fs::file_size(path));
  }
}

TEST(StoreWriterTest, SpillingSortedRunsGivesTheSameFile) {
  TempDir dir;
  StoreModel model = MakeModel(900, 4000, 7);
  std::size_t runs_in_memory = 0;
  std::size_t runs_spilled = 0;
  ASSERT_TRUE(WriteModel(model, dir.Path("memory_store.tavo"), std::size_t{1} << 30,
                         &runs_in_memory).ok());
  // A budget of 1 byte spills a run after every file; 2,000 bytes after a
  // few dozen scores.
  for (std::size_t budget : {std::size_t{1}, std::size_t{2000}}) {
    SCOPED_TRACE(budget);
    Status written = WriteModel(model, dir.Path("spilled_store.tavo"), budget, &runs_spilled);
    ASSERT_TRUE(written.ok()) << written.message();
    EXPECT_EQ(runs_in_memory, 0u);
    EXPECT_GT(runs_spilled, 10u);
    EXPECT_TRUE(ReadFileBytes(dir.Path("memory_store.tavo")) ==
                ReadFileBytes(dir.Path("spilled_store.tavo")));
  }
  EXPECT_EQ(FolderListing(dir.path()),
            (std::vector<std::string>{"memory_store.tavo", "spilled_store.tavo"}));
}

// A store rebuilt from an index text gets the postings word by word, as
// its count lines give them: the same file as one written file by file.
TEST(StoreWriterTest, WritesTheSameStoreFromWordsAsFromFiles) {
  TempDir dir;
  StoreModel model = MakeModel(500, 900, 9);
  ASSERT_TRUE(WriteModel(model, dir.Path("by_file_store.tavo")).ok());
  std::vector<std::vector<std::uint32_t>> files(model.words.size());
  std::vector<std::vector<std::uint8_t>> scores(model.words.size());
  for (std::uint32_t f = 0; f < model.files.size(); ++f) {
    for (const StoreScore& s : model.files[f].scores) {
      files[s.word_index].push_back(f);
      scores[s.word_index].push_back(s.score);
    }
  }
  const std::string path = dir.Path("by_word_store.tavo");
  StoreWriter writer(path, path + ".part");
  ASSERT_TRUE(writer.Create().ok());
  for (const testing::ModelFile& file : model.files) {
    ASSERT_TRUE(writer.AddFile(testing::EntryOf(file), {}).ok());
  }
  for (std::size_t w = 0; w < model.words.size(); ++w) {
    Status added = writer.AddWordPostings(static_cast<std::int32_t>(w + 1), files[w], scores[w]);
    ASSERT_TRUE(added.ok()) << added.message();
  }
  ASSERT_TRUE(writer.Finish(model.title, testing::SortedLexicon(model)).ok());
  ASSERT_TRUE(writer.Commit(model.fingerprint).ok());
  EXPECT_TRUE(ReadFileBytes(path) == ReadFileBytes(dir.Path("by_file_store.tavo")));
}

TEST(StoreWriterTest, RefusesPostingsOutOfTurn) {
  const std::vector<std::uint32_t> two_files = {0, 1};
  const std::vector<std::uint8_t> two_scores = {5, 6};
  struct Case {
    const char* name;
    std::function<Status(StoreWriter&)> calls;
    const char* message;
  } cases[] = {
      {"word 2 first",
       [&](StoreWriter& w) { return w.AddWordPostings(2, two_files, two_scores); },
       "The postings of word number 2 come where those of word number 1 belong."},
      {"files out of order",
       [&](StoreWriter& w) {
         return w.AddWordPostings(1, std::vector<std::uint32_t>{1, 0}, two_scores);
       },
       "The postings of word number 1 name file index 0 with the score 6: out of "
       "order, beyond the 3 files or 0."},
      {"file beyond",
       [&](StoreWriter& w) {
         return w.AddWordPostings(1, std::vector<std::uint32_t>{3}, {std::vector<std::uint8_t>{1}});
       },
       "The postings of word number 1 name file index 3 with the score 1: out of "
       "order, beyond the 3 files or 0."},
      {"file after words",
       [&](StoreWriter& w) {
         Status s = w.AddWordPostings(1, two_files, two_scores);
         return s.ok() ? w.AddFile(StoreFileEntry{}, {}) : s;
       },
       "A file cannot be added after the postings of a word."},
      {"a word too few",
       [&](StoreWriter& w) {
         Status s = w.AddWordPostings(1, two_files, two_scores);
         const std::vector<StoreWord> lexicon = {{"a", 1}, {"b", 2}};
         return s.ok() ? w.Finish("T", lexicon) : s;
       },
       "The lexicon has 2 words, but the postings of 1 were given."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    StoreWriter writer(dir.Path("a_store.tavo"), dir.Path("a_store.part.tavo"));
    ASSERT_TRUE(writer.Create().ok());
    for (int f = 0; f < 3; ++f) ASSERT_TRUE(writer.AddFile(StoreFileEntry{}, {}).ok());
    Status status = c.calls(writer);
    EXPECT_EQ(status.kind(), Status::Kind::kRefused);
    EXPECT_EQ(status.message(), c.message);
  }
  // Words after files that had scores.
  TempDir dir;
  StoreWriter writer(dir.Path("a_store.tavo"), dir.Path("a_store.part.tavo"));
  ASSERT_TRUE(writer.Create().ok());
  ASSERT_TRUE(writer.AddFile(StoreFileEntry{}, std::vector<StoreScore>{{0, 1}}).ok());
  EXPECT_EQ(writer.AddWordPostings(1, std::vector<std::uint32_t>{0}, {std::vector<std::uint8_t>{1}})
                .message(),
            "The postings of word number 1 come after files that had scores.");
}

// The store of a fixed small model, byte for byte: the format does not
// change by accident. The same file seeds the store fuzz target. To write
// it anew after a deliberate change of the format, run this test with
// ORVANE_WRITE_STORE_GOLDEN=1.
TEST(StoreWriterTest, WritesTheGoldenStore) {
  TempDir dir;
  StoreModel model = MakeModel(150, 120, 3);
  std::string path = dir.Path("small_store.tavo");
  ASSERT_TRUE(WriteModel(model, path).ok());
  fs::path golden = testing::TestDataFolder() / "store" / "small_store.tavo";
  if (std::getenv("ORVANE_WRITE_STORE_GOLDEN") != nullptr) {
    fs::create_directories(golden.parent_path());
    fs::copy_file(path, golden, fs::copy_options::overwrite_existing);
  }
  EXPECT_TRUE(ReadFileBytes(path) == ReadFileBytes(golden))
      << "the store differs from " << golden;
}

TEST(StoreWriterTest, RefusesScoresAndLexiconsThatBreakItsRules) {
  StoreFileEntry file;
  file.path = "a.txt";
  const std::vector<StoreWord> good = {{"alpha", 2}, {"beta", 1}};
  struct Case {
    const char* name;
    std::vector<StoreScore> scores;
    std::uint32_t nanoseconds;
    std::vector<StoreWord> lexicon;
    const char* message;  // of the refusal, "" when none
  } cases[] = {
      {"sound", {{0, 9}, {1, 255}}, 999999999, good, ""},
      {"zero score", {{0, 0}}, 0, good,
       "The scores of file number 1 hold a score of 0."},
      {"word twice", {{1, 9}, {0, 3}, {1, 4}}, 0, good,
       "The scores of file number 1 hold the word index 1 twice."},
      {"word index too large", {{2147483647u, 1}}, 0, good,
       "The scores of file number 1 hold the word index 2147483647, beyond the "
       "largest word number."},
      {"nanoseconds", {{0, 1}}, 1000000000, good,
       "The modification time of file number 1 has 1000000000 nanoseconds."},
      {"lexicon out of order", {{0, 1}}, 0, {{"beta", 1}, {"alpha", 2}},
       "The lexicon is not in ascending order: word 2 of 2 does not sort after "
       "the word before it."},
      {"word twice in lexicon", {{0, 1}}, 0, {{"alpha", 1}, {"alpha", 2}},
       "The lexicon is not in ascending order: word 2 of 2 does not sort after "
       "the word before it."},
      {"number twice", {{0, 1}}, 0, {{"alpha", 1}, {"beta", 1}},
       "The lexicon gives word 2 of 2 the word number 1, out of range or given "
       "before."},
      {"number out of range", {{0, 1}}, 0, {{"alpha", 3}, {"beta", 1}},
       "The lexicon gives word 1 of 2 the word number 3, out of range or given "
       "before."},
      {"word missing from lexicon", {{0, 1}, {2, 1}}, 0, good,
       "The lexicon has 2 words, but the scores name word number 3."},
      // Accented letters sort after "z", as their byte values do.
      {"bytes above 127", {{0, 1}}, 0, {{"zoo", 1}, {"\xE9t\xE9", 2}}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    StoreWriter writer(dir.Path("a_store.tavo"), dir.Path("a_store.part.tavo"));
    ASSERT_TRUE(writer.Create().ok());
    file.mtime_nanoseconds = c.nanoseconds;
    Status status = writer.AddFile(file, c.scores);
    if (status.ok()) status = writer.Finish("Title", c.lexicon);
    if (*c.message == '\0') {
      EXPECT_TRUE(status.ok()) << status.message();
      EXPECT_TRUE(writer.Commit(StoreFingerprint{}).ok());
      continue;
    }
    EXPECT_EQ(status.kind(), Status::Kind::kRefused);
    EXPECT_EQ(status.message(), c.message);
    writer.Discard();
    EXPECT_TRUE(FolderListing(dir.path()).empty());
  }
}

// A write that fails (here the file-size limit of the process, which
// fails a write as a full disk does) is reported with its reason and
// leaves no file behind, whichever file it hits: the store or its work
// files.
TEST(StoreWriterTest, FailedWriteLeavesNothing) {
  StoreModel model = MakeModel(2000, 5000, 11);
  for (rlim_t limit : {rlim_t{3000}, rlim_t{40000}, rlim_t{150000}}) {
    for (std::size_t budget : {std::size_t{1} << 30, std::size_t{5000}}) {
      SCOPED_TRACE("limit " + std::to_string(limit) + ", budget " + std::to_string(budget));
      TempDir dir;
      std::string path = dir.Path("a_store.tavo");
      rlimit before{};
      ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
      rlimit small = before;
      small.rlim_cur = limit;
      auto old_handler = signal(SIGXFSZ, SIG_IGN);
      ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
      Status status = WriteModel(model, path, budget);
      setrlimit(RLIMIT_FSIZE, &before);
      signal(SIGXFSZ, old_handler);
      EXPECT_FALSE(status.ok());
      EXPECT_EQ(status.kind(), Status::Kind::kFailed);
      EXPECT_NE(status.message().find("Error when writing "), std::string::npos)
          << status.message();
      EXPECT_NE(status.message().find(": File too large"), std::string::npos)
          << status.message();
      EXPECT_TRUE(FolderListing(dir.path()).empty());
    }
  }
}

TEST(StoreWriterTest, ReportsAFolderItCannotWriteIn) {
  TempDir dir;
  StoreWriter writer(dir.Path("gone/a_store.tavo"), dir.Path("gone/a_store.part.tavo"));
  Status status = writer.Create();
  EXPECT_EQ(status.message(), "Cannot create " + dir.Path("gone/a_store.part.tavo") +
                                  ": No such file or directory");
}

TEST(StoreWriterTest, CommitReplacesTheStoreAndDiscardKeepsIt) {
  TempDir dir;
  std::string path = dir.Path("a_store.tavo");
  StoreModel first = MakeModel(20, 30, 1);
  StoreModel second = MakeModel(40, 30, 2);
  second.fingerprint.text_length += 1;
  ASSERT_TRUE(WriteModel(first, path).ok());
  {
    // A run that ends before Commit leaves the old store as it was.
    StoreWriter writer(path, path + ".part");
    ASSERT_TRUE(writer.Create().ok());
    ASSERT_TRUE(writer.AddFile(testing::EntryOf(second.files[0]), second.files[0].scores).ok());
  }
  EXPECT_EQ(Describe(*OpenOrFail(path, first.fingerprint)), Describe(first));
  ASSERT_TRUE(WriteModel(second, path).ok());
  EXPECT_EQ(Describe(*OpenOrFail(path, second.fingerprint)), Describe(second));
  EXPECT_EQ(FolderListing(dir.path()), std::vector<std::string>{"a_store.tavo"});
}

}  // namespace
}  // namespace orvane
