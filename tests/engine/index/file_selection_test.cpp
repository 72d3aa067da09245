#include "engine/index/file_selection.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "engine/text/file_checks.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::FakeClock;
using testing::FakeLargeDisplay;
using testing::RecordingPrompter;
using testing::RecordingViewState;
using testing::ScriptedYield;
using testing::TempDir;
using Paths = std::vector<std::string>;

class FileSelectionTest : public ::testing::Test {
 protected:
  FileSelectionTest() {
    display_.Show();
    const char* text = "Text long enough to pass.\r\n";
    for (const char* name :
         {"top.txt", "report.PDF", "Makefile", "at", "bat.at", "docs/a.txt",
          "docs/golden.txt", "docs/old/b.txt", "docs/sub/c.txt",
          "docs/sub/A.TXT", "notes/d.txt", "other/e.txt"}) {
      tree_.Write(name, text);
    }
    tree_.Write("size/399.txt", std::string(398, 'w') + "\n");
    tree_.Write("size/400.txt", std::string(399, 'w') + "\n");
    tree_.Write("bin/control.txt", std::string(100, '\x02') + "words");
    tree_.Write("bin/utf16.txt", std::string("h\0e\0l\0l\0o\0\r\0\n\0", 14));
    tree_.Write("bin/empty.txt", "");
    tree_.Write("accents/many.txt", "\xE9t\xE9 \xE0 \xE8re \xEAtre\r\n");
    tree_.Write("accents/two.txt", "\xE9t\xE9 \xE8re et encore des mots\r\n");
    rules_.top_folder = tree_.folder();
    rules_.exclude_special_letters = false;
  }

  // The relative paths that the listing mode keeps.
  Paths Listed() {
    Selection selection;
    bool stop = false;
    SelectFiles(rules_, SelectionMode::kListing, ports_, &stop, &selection);
    EXPECT_EQ(selection.count, static_cast<std::int32_t>(selection.file_list.size()));
    return RelativePaths(selection);
  }

  static Paths RelativePaths(const Selection& selection) {
    Paths paths;
    for (const SelectedFile& file : selection.file_list) {
      paths.push_back(file.relative_path);
    }
    return paths;
  }

  TempDir tree_;
  RecordingPrompter prompter_;
  RecordingViewState view_;
  ScriptedYield yield_;
  FakeLargeDisplay display_;
  FakeClock clock_;
  LauncherState launcher_;
  IndexPorts ports_{prompter_, view_, yield_, display_, clock_, launcher_};
  SelectionRules rules_;
};

TEST_F(FileSelectionTest, AppliesTheFolderRule) {
  // Without an included subfolder only the top folder's files count.
  EXPECT_EQ(Listed(), (Paths{"Makefile", "at", "bat.at", "top.txt"}));

  rules_.exclude_files_in_top_folder = true;
  rules_.included_subfolders = {"docs"};
  EXPECT_EQ(Listed(), (Paths{"docs/a.txt", "docs/golden.txt"}));

  rules_.included_subfolders = {"docs", "docs/sub", "notes"};
  EXPECT_EQ(Listed(), (Paths{"docs/a.txt", "docs/golden.txt",
                             "docs/sub/A.TXT", "docs/sub/c.txt",
                             "notes/d.txt"}));

  rules_.included_subfolders = {"Docs"};  // folded to lower case
  rules_.include_subfolders_of_subfolders = true;
  rules_.excluded_filepaths = {"OLD"};
  EXPECT_EQ(Listed(), (Paths{"docs/a.txt", "docs/sub/A.TXT", "docs/sub/c.txt"}));
}

TEST_F(FileSelectionTest, AppliesTheFileRules) {
  rules_.included_subfolders = {"docs", "size", "bin", "accents"};
  rules_.include_subfolders_of_subfolders = true;
  rules_.excluded_files = {"docs/sub/a.txt"};
  EXPECT_EQ(Listed(),
            (Paths{"Makefile", "at", "bat.at", "top.txt", "accents/many.txt",
                   "accents/two.txt", "bin/utf16.txt", "docs/a.txt",
                   "docs/golden.txt", "docs/old/b.txt", "docs/sub/c.txt",
                   "size/399.txt", "size/400.txt"}))
      << "report.PDF has an excluded extension; A.TXT is excluded in lower "
         "case; many.txt passes without the letter rule";

  rules_.exclude_special_letters = true;
  Paths listed = Listed();
  EXPECT_EQ(std::count(listed.begin(), listed.end(), "accents/many.txt"), 0);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), "accents/two.txt"), 1);

  rules_.minimum_size = 400;
  EXPECT_EQ(Listed(), (Paths{"size/400.txt"}));
}

TEST_F(FileSelectionTest, CountingKeepsTheTextKindAndTheTotals) {
  TempDir tree;
  tree.Write("crlf.txt", "one\r\ntwo\r\n");
  tree.Write("lf.txt", "one\ntwo\n");
  tree.Write("cr.txt", "one\rtwo\r");
  tree.Write("say \"hi\".txt", "a name the index cannot hold");
  rules_.top_folder = tree.folder();
  Selection selection;
  bool stop = false;
  SelectFiles(rules_, SelectionMode::kCounting, ports_, &stop, &selection);
  EXPECT_EQ(RelativePaths(selection), (Paths{"cr.txt", "crlf.txt", "lf.txt"}));
  std::vector<std::int16_t> kinds;
  std::vector<std::int64_t> sizes;
  for (const SelectedFile& file : selection.file_list) {
    kinds.push_back(file.text_kind);
    sizes.push_back(file.size);
  }
  EXPECT_EQ(kinds, (std::vector<std::int16_t>{kCheckTextCrOnly, kCheckTextCrLf,
                                              kCheckTextLfOnly}));
  EXPECT_EQ(sizes, (std::vector<std::int64_t>{8, 10, 8}));
  EXPECT_EQ(selection.count, 3);
  EXPECT_EQ(selection.total_size, 8 + 10 + 8);
  EXPECT_EQ(selection.unstorable_paths, 1);
  EXPECT_FALSE(stop);
}

TEST_F(FileSelectionTest, TheLimitStopsAtTheFirstFileAboveIt) {
  rules_.file_limit = 4;
  Paths listed = Listed();
  EXPECT_EQ(listed.size(), 4u);  // exactly the limit: all of them
  EXPECT_FALSE(launcher_.blnQuit);

  rules_.file_limit = 3;
  Selection selection;
  bool stop = false;
  SelectFiles(rules_, SelectionMode::kCounting, ports_, &stop, &selection);
  EXPECT_EQ(selection.count, 4);
  EXPECT_EQ(selection.file_list.size(), 3u);
  // The limit is the selection's result, not the launcher's quit.
  EXPECT_TRUE(selection.too_many_files);
  EXPECT_FALSE(launcher_.blnQuit);
}

// A folder of many files is judged on two threads; what is kept, in what
// order, and the yield after each kept file stay as they are.
TEST_F(FileSelectionTest, AFolderOfManyFilesKeepsItsOrder) {
  Paths expected;
  for (int i = 0; i < 60; ++i) {
    std::string name = "many/f" + std::to_string(100 + i);
    switch (i % 5) {
      case 0:
        tree_.Write(name + ".txt", "Text long enough to pass.\r\n");
        expected.push_back(name + ".txt");
        break;
      case 1:
        tree_.Write(name + ".exe", "Text long enough to pass.\r\n");
        break;
      case 2:
        tree_.Write(name + ".txt", std::string(100, '\x02'));
        break;
      case 3:
        tree_.Write(name + ".txt", "");
        break;
      case 4:
        tree_.Write(name + " \".txt", "Text long enough to pass.\r\n");
        break;
    }
  }
  rules_.exclude_files_in_top_folder = true;
  rules_.included_subfolders = {"many"};
  Selection selection;
  bool stop = false;
  SelectFiles(rules_, SelectionMode::kListing, ports_, &stop, &selection);
  EXPECT_EQ(RelativePaths(selection), expected);
  EXPECT_EQ(selection.unstorable_paths, 12);
  EXPECT_EQ(yield_.calls(), 12);
  // Stop at the third kept file: the walk ends there.
  yield_.At(12 + 3, [&] { stop = true; });
  SelectFiles(rules_, SelectionMode::kListing, ports_, &stop, &selection);
  EXPECT_EQ(selection.count, 2);
}

TEST_F(FileSelectionTest, TheListingShowsNumberedLines) {
  rules_.included_subfolders = {"notes"};
  Listed();
  EXPECT_EQ(display_.text(),
            "1. Makefile\r\n2. at\r\n3. bat.at\r\n4. top.txt\r\n"
            "5. notes/d.txt\r\n");
}

TEST_F(FileSelectionTest, StopEndsTheWalk) {
  bool stop = false;
  yield_.At(2, [&] { stop = true; });
  Selection selection;
  SelectFiles(rules_, SelectionMode::kCounting, ports_, &stop, &selection);
  EXPECT_EQ(selection.count, 1);
}

TEST_F(FileSelectionTest, PassesOverFoldersWithoutPermission) {
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(tree_.path())) {
    chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
  }
  chmod(tree_.path().c_str(), 0755);
  chmod(tree_.Path("docs/sub").c_str(), 0);
  chmod(tree_.Path("notes").c_str(), 0);
  rules_.included_subfolders = {"docs", "notes"};
  rules_.include_subfolders_of_subfolders = true;
  // Run as the user nobody, so that permissions apply to root as well.
  pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
    Selection selection;
    bool stop = false;
    SelectFiles(rules_, SelectionMode::kCounting, ports_, &stop, &selection);
    _exit(stop ? 90 : selection.unreadable_folders * 10 +
                          static_cast<int>(selection.count));
  }
  int status = 0;
  waitpid(pid, &status, 0);
  chmod(tree_.Path("docs/sub").c_str(), 0755);
  chmod(tree_.Path("notes").c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  // 4 top files, docs/a.txt, docs/golden.txt, docs/old/b.txt; two folders.
  EXPECT_EQ(WEXITSTATUS(status), 2 * 10 + 7);
}

}  // namespace
}  // namespace orvane
