#include "engine/index/settings_file.h"

#include <gtest/gtest.h>

#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::ReadFileBytes;
using testing::RecordingPrompter;
using testing::TempDir;

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() {
    tree_.Write("top/a.txt", "a");
    tree_.Write("top/sub/b.txt", "b");
    tree_.MakeDir("top/other");
    tree_.MakeDir("out");
    settings_.txbProjectName = "manuals";
    settings_.txbTitle = "Company manuals";
    settings_.txbExcludedFilepaths = "old, tmp";
    settings_.txbOutputFolder = tree_.Path("out") + "/";
    settings_.txbTopFolder = tree_.Path("top") + "/";
    settings_.txbExcludedFiles = "a.txt\r\nsub/b.txt";
    settings_.txbIncludedFolders = "sub\r\nother";
    settings_.txbMinimumFilesize = " 500";
    settings_.chkExcludeFilesInTopFolder = true;
    settings_.chkExcludeSpecialLetters = false;
  }

  TempDir tree_;
  IndexSettings settings_;
  RecordingPrompter prompter_;
};

TEST_F(SettingsFileTest, WritesThirteenRecordsAndReadsThemBack) {
  std::string path = tree_.Path("s.usri");
  ASSERT_TRUE(SaveSettings(path, settings_, &prompter_));
  EXPECT_EQ(ReadFileBytes(path),
            "\"Tavora -- Settings for Index Module\"\r\n"
            "\"manuals\"\r\n\"Company manuals\"\r\n\"old, tmp\"\r\n\"" +
                settings_.txbOutputFolder + "\"\r\n\"" +
                settings_.txbTopFolder +
                "\"\r\n\"a.txt\r\nsub/b.txt\"\r\n\"sub\r\nother\"\r\n"
                "\" 500\"\r\n1\r\n0\r\n0\r\n1\r\n");
  IndexSettings loaded;
  EXPECT_EQ(LoadSettings(path, &loaded, &prompter_, true), LoadResult::kLoaded);
  EXPECT_EQ(loaded, settings_);
  EXPECT_TRUE(prompter_.boxes().empty());
}

// The classic data file's box is a fourteenth record, written only when
// ticked: a file without it loads with the box off, and a file with it
// still begins with the records every reader of them expects.
TEST_F(SettingsFileTest, TheClassicDataFileBoxIsAnOptionalFourteenthRecord) {
  std::string twelve = tree_.Path("twelve.usri");
  ASSERT_TRUE(SaveSettings(twelve, settings_, &prompter_));
  settings_.chkWriteClassicDataFile = true;
  std::string thirteen = tree_.Path("thirteen.usri");
  ASSERT_TRUE(SaveSettings(thirteen, settings_, &prompter_));
  EXPECT_EQ(ReadFileBytes(thirteen), ReadFileBytes(twelve) + "1\r\n");

  IndexSettings loaded;
  ASSERT_EQ(LoadSettings(thirteen, &loaded, &prompter_, true), LoadResult::kLoaded);
  EXPECT_EQ(loaded, settings_);
  loaded.chkWriteClassicDataFile = true;
  ASSERT_EQ(LoadSettings(twelve, &loaded, &prompter_, true), LoadResult::kLoaded);
  EXPECT_FALSE(loaded.chkWriteClassicDataFile);
  EXPECT_TRUE(prompter_.boxes().empty());
}

// A file of the twelve records written before documents were read loads
// with them read; the thirteenth record, when there, decides.
TEST_F(SettingsFileTest, ReadsTheDocumentsBoxWhenThereAndDefaultsWithout) {
  std::string path = tree_.Path("s.usri");
  settings_.chkReadDocuments = false;
  ASSERT_TRUE(SaveSettings(path, settings_, &prompter_));
  std::string bytes = ReadFileBytes(path);
  ASSERT_EQ(bytes.substr(bytes.size() - 3), "0\r\n");
  struct Case {
    std::string last;
    LoadResult result;
    bool read_documents;
  } cases[] = {
      {"", LoadResult::kLoaded, true},
      {"0\r\n", LoadResult::kLoaded, false},
      {"1\r\n", LoadResult::kLoaded, true},
      {"7\r\n", LoadResult::kFailed, true},
  };
  for (const Case& c : cases) {
    tree_.Write("s.usri", bytes.substr(0, bytes.size() - 3) + c.last);
    IndexSettings loaded;
    loaded.chkReadDocuments = !c.read_documents;
    EXPECT_EQ(LoadSettings(path, &loaded, &prompter_, false), c.result)
        << c.last;
    EXPECT_EQ(loaded.chkReadDocuments, c.read_documents) << c.last;
  }
}

TEST_F(SettingsFileTest, DropsWhatNoLongerExists) {
  std::string path = tree_.Path("s.usri");
  ASSERT_TRUE(SaveSettings(path, settings_, &prompter_));
  std::filesystem::remove(tree_.Path("top/a.txt"));
  std::filesystem::remove_all(tree_.Path("top/other"));
  std::filesystem::remove_all(tree_.Path("out"));
  IndexSettings loaded;
  ASSERT_EQ(LoadSettings(path, &loaded, &prompter_, true), LoadResult::kLoaded);
  EXPECT_EQ(loaded.txbOutputFolder, "");
  EXPECT_EQ(loaded.txbExcludedFiles, "sub/b.txt");
  EXPECT_EQ(loaded.txbIncludedFolders, "sub");

  std::filesystem::remove_all(tree_.Path("top"));
  ASSERT_EQ(LoadSettings(path, &loaded, &prompter_, true), LoadResult::kLoaded);
  EXPECT_EQ(loaded.txbTopFolder, "");
  EXPECT_EQ(loaded.txbExcludedFiles, "");
  EXPECT_EQ(loaded.txbIncludedFolders, "");
}

TEST_F(SettingsFileTest, RefusesAFileWhoseFifthItemIsNoFolder) {
  std::string path = tree_.Write(
      "bad.usri",
      "\"h\"\r\n\"p\"\r\n\"t\"\r\n\"x\"\r\n\"out/\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
      "\"400\"\r\n0\r\n0\r\n1\r\n");
  IndexSettings loaded = settings_;
  EXPECT_EQ(LoadSettings(path, &loaded, &prompter_, true),
            LoadResult::kRefused);
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Load settings");
  EXPECT_EQ(prompter_.boxes()[0].text,
            "Invalid input.  Probably this is not a settings file for this "
            "index module.");
  EXPECT_EQ(loaded.txbProjectName, "");
  EXPECT_EQ(loaded.txbTitle, "");
  EXPECT_EQ(loaded.txbOutputFolder, "");
  EXPECT_EQ(loaded.txbExcludedFilepaths, "x");  // read before the test
  EXPECT_EQ(loaded.txbTopFolder, settings_.txbTopFolder);  // not reached

  // An empty output folder needs no test.
  path = tree_.Write("empty.usri",
                     "\"h\",\"p\",\"t\",\"\",\"\",\"\",\"\",\"\",\"\",0,1,1\r\n");
  EXPECT_EQ(LoadSettings(path, &loaded, &prompter_, true), LoadResult::kLoaded);
  EXPECT_TRUE(loaded.chkIncludeSubfoldersOfSubfolders);
}

TEST_F(SettingsFileTest, AFailedLoadRestoresTheDefaults) {
  struct Row {
    const char* name;
    const char* bytes;  // nullptr: no such file
  } rows[] = {
      {"missing.usri", nullptr},
      {"short.usri", "\"h\"\r\n\"p\"\r\n\"t\"\r\n"},
      {"box.usri", "\"h\",\"p\",\"t\",\"\",\"\",\"\",\"\",\"\",\"\",0,2,1\r\n"},
  };
  for (const Row& row : rows) {
    std::string path = row.bytes ? tree_.Write(row.name, row.bytes)
                                 : tree_.Path(row.name);
    IndexSettings loaded = settings_;
    RecordingPrompter prompter;
    EXPECT_EQ(LoadSettings(path, &loaded, &prompter, true), LoadResult::kFailed);
    EXPECT_EQ(loaded, IndexSettings()) << row.name;
    ASSERT_EQ(prompter.boxes().size(), 1u);
    EXPECT_EQ(prompter.boxes()[0].title, "Load config");
    EXPECT_EQ(prompter.boxes()[0].text.rfind(
                  "Error when attempting to load settings: ", 0),
              0u);
    // Before the window has started, no box.
    EXPECT_EQ(LoadSettings(path, &loaded, &prompter, false), LoadResult::kFailed);
    EXPECT_EQ(prompter.boxes().size(), 1u);
  }
}

TEST_F(SettingsFileTest, RefusesADoubleQuoteAndSavesNothingHalf) {
  std::string path = tree_.Write("s.usri", "old settings");
  settings_.txbExcludedFiles = "say \"hi\".txt";
  EXPECT_FALSE(SaveSettings(path, settings_, &prompter_));
  ASSERT_EQ(prompter_.boxes().size(), 1u);
  EXPECT_EQ(prompter_.boxes()[0].title, "Save settings");
  EXPECT_NE(prompter_.boxes()[0].text.find("excluded files"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(path), "old settings");

  Status failed = WriteSettingsFile(tree_.Path("no/such/folder/s.usri"),
                                    IndexSettings());
  EXPECT_EQ(failed.kind(), Status::Kind::kFailed);
  EXPECT_EQ(failed.message().rfind("Error when attempting to save settings: ", 0),
            0u);
}

TEST(SetDefaultsTest, GivesTheDefaultSettings) {
  IndexSettings settings;
  settings.txbTitle = "x";
  settings.chkExcludeSpecialLetters = false;
  SetDefaults(&settings);
  EXPECT_EQ(settings.txbTitle, "");
  EXPECT_EQ(settings.txbMinimumFilesize, "400");
  EXPECT_FALSE(settings.chkExcludeFilesInTopFolder);
  EXPECT_FALSE(settings.chkIncludeSubfoldersOfSubfolders);
  EXPECT_TRUE(settings.chkExcludeSpecialLetters);
  EXPECT_TRUE(settings.chkReadDocuments);
}

TEST(IncludeWholeTreeTest, IncludesEverySubfolderInByteOrderWithTheirs) {
  TempDir dir;
  dir.Write("top/b/x.txt", "x");
  dir.Write("top/a b/y.txt", "y");
  dir.Write("top/B/z.txt", "z");
  dir.Write("top/file.txt", "f");
  IndexSettings settings;
  SetDefaults(&settings);
  settings.txbTopFolder = dir.folder() + "top/";
  settings.txbIncludedFolders = "old\r\n";
  FolderError error;
  ASSERT_TRUE(IncludeWholeTree(&settings, &error));
  EXPECT_EQ(settings.txbIncludedFolders, "B\r\na b\r\nb\r\n");
  EXPECT_TRUE(settings.chkIncludeSubfoldersOfSubfolders);

  settings.txbTopFolder = dir.folder() + "missing/";
  EXPECT_FALSE(IncludeWholeTree(&settings, &error));
  EXPECT_FALSE(error.description.empty());
}

}  // namespace
}  // namespace orvane
