#include "engine/search/indexed_files_listing.h"

#include <gtest/gtest.h>

#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

constexpr char kExplanation[] =
    "The file(path)s given below are relative to the top folder at the time "
    "the index file was created.  Be sure to set the top folder to the one "
    "currently containing the files to be searched.\r\n\r\n";

// Every case runs over every kind of store.
class IndexedFilesListingTest
    : public ::testing::TestWithParam<IndexStoreKind> {};

INSTANTIATE_TEST_SUITE_P(EveryStore, IndexedFilesListingTest,
                         ::testing::ValuesIn(kEveryStore), StoreName);

IndexLayout Listed(std::vector<std::string> files) {
  IndexLayout layout;
  layout.files = std::move(files);
  layout.words = {{"w", std::vector<int>(layout.files.size(), 1)}};
  return layout;
}

// Listing before any search loads the index (and builds its data file).
TEST_P(IndexedFilesListingTest, ByFolderAndAlphabetically) {
  TempDir dir;
  std::string index = WriteIndex(
      dir, "l", Listed({"b/x.txt", "b/Y.txt", "a/z.txt", "Top.txt"}), false);
  SearchFixture f(GetParam());
  f.settings().txbIndexFile = index;
  f.settings().optByFolder = true;
  ASSERT_TRUE(ListIndexedFiles(f.settings(), &f.state(), f.module.ports()));
  EXPECT_TRUE(f.state().index.blnDataFileReady);
  EXPECT_EQ(f.display.caption(),
            "Listing by folder of the filepaths of the 4 indexed files");
  EXPECT_EQ(f.display.text(), std::string(kExplanation) +
                                  "b/x.txt\r\nb/Y.txt\r\n\r\na/z.txt\r\n\r\n"
                                  "Top.txt\r\n\r\nThat's all.");
  EXPECT_EQ(f.display.copy_caption(), "Copy to clipboard");
  EXPECT_EQ(f.results(), "");

  f.settings().optByFolder = false;
  ASSERT_TRUE(ListIndexedFiles(f.settings(), &f.state(), f.module.ports()));
  EXPECT_EQ(f.display.caption(),
            "Alphabetical listing of the filepaths of the 4 indexed files");
  EXPECT_EQ(f.display.text(), std::string(kExplanation) +
                                  "a/z.txt\r\nb/x.txt\r\nb/Y.txt\r\nTop.txt\r\n"
                                  "\r\nThat's all.");
  // The file list keeps its order: its positions are file numbers.
  EXPECT_EQ(f.state().index.FilePath(0), "b/x.txt");
}

// "List indexed files" once showed 1,740 of 2,775 files and "THE FILE LIST
// BUFFER IS FULL."; every file is listed now, under a grouped count.
TEST_P(IndexedFilesListingTest, AListingOfThousandsIsWholeAndItsCountGrouped) {
  TempDir dir;
  std::vector<std::string> files;
  for (int i = 0; i < 2775; ++i) {
    files.push_back("folder/a file with a long name " +
                    std::to_string(10000 + i) + ".txt");
  }
  SearchFixture f(GetParam());
  f.settings().txbIndexFile = WriteIndex(dir, "many", Listed(files), false);
  ASSERT_TRUE(ListIndexedFiles(f.settings(), &f.state(), f.module.ports()));
  EXPECT_EQ(f.display.caption(),
            "Alphabetical listing of the filepaths of the 2,775 indexed files");
  std::string expected = kExplanation;
  for (const std::string& file : files) expected += file + "\r\n";
  expected += "\r\nThat's all.";
  EXPECT_EQ(f.display.text(), expected);
  EXPECT_FALSE(f.display.ReportBufferFull());
}

TEST_P(IndexedFilesListingTest, OneFileAndUnreadableIndex) {
  TempDir dir;
  SearchFixture f(GetParam());
  f.settings().txbIndexFile = WriteIndex(dir, "o", Listed({"only.txt"}), false);
  EXPECT_TRUE(ListIndexedFiles(f.settings(), &f.state(), f.module.ports()));
  f.module.ForgetIndex();
  f.settings().txbIndexFile = dir.Write("bad_index.tavo", "plain text");
  EXPECT_FALSE(ListIndexedFiles(f.settings(), &f.state(), f.module.ports()));
  ASSERT_EQ(f.prompter.boxes().size(), 3u);
  EXPECT_EQ(f.prompter.boxes()[0].text, "Only one file was indexed:\r\nonly.txt");
  EXPECT_EQ(f.prompter.boxes()[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(f.prompter.boxes()[2].title, "List indexed files");
  EXPECT_EQ(f.prompter.boxes()[2].text,
            "Cannot list the files which were indexed\r\n"
            "because the index file could not be read.");
  EXPECT_TRUE(f.display.text().empty());
}

}  // namespace
}  // namespace orvane::testing
