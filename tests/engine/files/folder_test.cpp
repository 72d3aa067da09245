#include "engine/files/folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::RecordingPrompter;
using testing::TempDir;

TEST(ListFolderTest, SortsNamesFilesApartAndSkipsLinksAndPipes) {
  TempDir dir;
  dir.Write("b.txt", "b");
  dir.Write("A.txt", "a");
  dir.Write("a b,c.txt", "x");
  dir.MakeDir("zeta");
  dir.MakeDir("Alpha");
  std::filesystem::create_symlink(dir.Path("b.txt"), dir.Path("link.txt"));
  std::filesystem::create_directory_symlink(dir.Path("zeta"), dir.Path("loop"));
  ASSERT_EQ(mkfifo(dir.Path("pipe").c_str(), 0600), 0);

  FolderListing listing;
  FolderError error;
  ASSERT_TRUE(ListFolder(dir.folder(), &listing, &error));
  EXPECT_EQ(listing.files,
            (std::vector<std::string>{"A.txt", "a b,c.txt", "b.txt"}));
  EXPECT_EQ(listing.subfolders, (std::vector<std::string>{"Alpha", "zeta"}));

  EXPECT_FALSE(ListFolder(dir.Path("missing"), &listing, &error));
  EXPECT_EQ(error.number, kErrorPathNotFound);
  EXPECT_TRUE(listing.files.empty());
}

TEST(CountFilesInFolderTest, AddsSizesOnlyWhenAskedAndReportsFailures) {
  TempDir dir;
  dir.Write("one.txt", "12345");
  dir.Write("two", "123");
  dir.MakeDir("sub");
  dir.Write("sub/deep.txt", "1");
  // The count, or -1 for a failure.
  auto count = [](Result<std::int32_t> counted) {
    return counted.ok() ? *counted : -1;
  };

  double total = 0;
  EXPECT_EQ(
      count(CountFilesInFolder(dir.folder(), "*.*", false, nullptr, &total)),
      2);
  EXPECT_EQ(total, 0);  // untouched: no sizes asked for

  total = -1.0;
  EXPECT_EQ(
      count(CountFilesInFolder(dir.folder(), "*.*", false, nullptr, &total)),
      2);
  EXPECT_EQ(total, 8);

  total = 7;
  EXPECT_EQ(
      count(CountFilesInFolder(dir.folder(), "*.txt", false, nullptr, &total)),
      1);
  EXPECT_EQ(total, 0);  // another pattern starts the total afresh
  total = -1.0;
  EXPECT_EQ(
      count(CountFilesInFolder(dir.folder(), "*.*", true, nullptr, &total)), 1);
  EXPECT_EQ(total, 5);  // the first file in name order

  RecordingPrompter box;
  Result<std::int32_t> missing =
      CountFilesInFolder(dir.Path("missing"), "*.*", false, &box, &total);
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.status().message(), "No such file or directory");
  ASSERT_EQ(box.boxes().size(), 1u);
  EXPECT_EQ(box.boxes()[0].title, "Error");
  EXPECT_EQ(box.boxes()[0].text, missing.status().message());
}

TEST(CountSubfoldersTest, CountsOrReportsTheError) {
  TempDir dir;
  dir.MakeDir("a");
  dir.MakeDir("b/c");
  dir.Write("f.txt", "x");
  std::string error_text = "stale";
  std::int32_t error_number = 0;
  EXPECT_EQ(CountSubfolders(dir.path().string(), &error_text, &error_number), 2);
  EXPECT_EQ(error_text, "");
  EXPECT_EQ(CountSubfolders(dir.Path("nope"), &error_text, &error_number), -1);
  EXPECT_EQ(error_text.rfind("Error: ", 0), 0u);
  EXPECT_EQ(error_number, kErrorPathNotFound);
}

TEST(IsEmptyFolderTest, CountsFilesAndFoldersAndTakesUnreadableAsEmpty) {
  TempDir dir;
  dir.MakeDir("empty");
  dir.MakeDir("with_folder/inner");
  dir.Write("with_file/x", "");
  EXPECT_TRUE(IsEmptyFolder(dir.Path("empty")));
  EXPECT_FALSE(IsEmptyFolder(dir.Path("with_folder")));
  EXPECT_FALSE(IsEmptyFolder(dir.Path("with_file")));
  EXPECT_TRUE(IsEmptyFolder(dir.Path("missing")));
}

TEST(CountFilesInTreeTest, StopsAtTheLimitAndCountsAllWithoutOne) {
  TempDir dir;
  for (int i = 0; i < 30; ++i) {
    dir.Write("d" + std::to_string(i % 3) + "/e/f" + std::to_string(i), "ab");
  }
  std::int32_t count = -5;
  std::int16_t limit = 10;
  double total = -3;
  std::int32_t error_number = 9;
  CountFilesInTree(true, dir.folder(), "*.*", &count, &limit, true, &total,
                   &error_number);
  EXPECT_EQ(count, 10);
  EXPECT_EQ(limit, -2);
  EXPECT_EQ(total, 20);
  EXPECT_EQ(error_number, 0);

  limit = 0;
  CountFilesInTree(true, dir.folder(), "*.*", &count, &limit, false, &total,
                   &error_number);
  EXPECT_EQ(count, 30);
  EXPECT_EQ(limit, 0);
  EXPECT_EQ(total, 0);
}

// Runs body in a child process as the user nobody, so that permissions
// apply even when the tests run as root; returns the child's exit status.
int RunAsNobody(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

TEST(CountFilesInTreeTest, PassesOverAFolderWithoutPermission) {
  TempDir dir;
  dir.Write("a/one", "1");
  dir.Write("b/two", "2");
  dir.Write("c/three", "3");
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(dir.path())) {
    chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
  }
  chmod(dir.path().c_str(), 0755);
  chmod(dir.Path("b").c_str(), 0);
  int result = RunAsNobody([&] {
    std::int32_t count = 0;
    std::int16_t limit = 0;
    double total = 0;
    std::int32_t error_number = 0;
    CountFilesInTree(true, dir.folder(), "*.*", &count, &limit, false, &total,
                     &error_number);
    return error_number != 0 ? 50 : count;
  });
  chmod(dir.Path("b").c_str(), 0755);
  EXPECT_EQ(result, 2);
}

TEST(IsPathWithinFolderTest, ComparesInFolderForm) {
  struct Row {
    const char* path;
    const char* folder;
    bool equal_does_not_count;
    bool within;
  } rows[] = {
      {"/a/bc", "/a/b", false, false},  // not a prefix in folder form
      {"/a/b/c.txt", "/a/b", false, true},
      {"/a/b", "/a/b/", false, true},
      {"/a/b", "/a/b", true, false},
      {"/a/b/c", "/a/b", true, true},
      {"docs/old", "docs", false, true},
      {"Docs/old", "docs", false, false},  // callers fold case themselves
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IsPathWithinFolder(row.path, row.folder, row.equal_does_not_count),
              row.within)
        << row.path << " in " << row.folder;
  }
}

TEST(MatchesFilePatternTest, MatchesBaseAndExtensionSeparately) {
  struct Row {
    const char* name;
    const char* pattern;
    bool case_sensitive;
    bool matches;
  } rows[] = {
      {"report.txt", "*.*", false, true},
      {"Makefile", "*.*", false, true},    // no extension: "*" matches ""
      {"a:b?.txt", "*.*", false, true},    // legal name characters here
      {"report.txt", "", false, true},
      {"report.txt", "*", false, false},   // no "." in the pattern
      {"report", "*", false, true},
      {"report.TXT", "*.txt", false, true},
      {"report.TXT", "*.txt", true, false},
      {"report.txt", "r?port.t*", false, true},
      {"abcbd.txt", "a*bd.txt", false, false},  // "*" stops at the first "b"
      {"rt.txt", "r*t.txt", false, true},
      {"report", "*.t?t", false, false},
      {"a.b.c", "*.c", false, true},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(MatchesFilePattern(row.name, row.pattern, row.case_sensitive),
              row.matches)
        << row.name << " / " << row.pattern;
  }
}

TEST(GetAppDataFilePathTest, CreatesTheSubfolderInTheDataHome) {
  std::string path = GetAppDataFilePath("tavoi.usri", kAppDataSubfolder);
  std::string data_home = std::getenv("XDG_DATA_HOME");
  EXPECT_EQ(path, data_home + "/Orvane Systems/tavoi.usri");
  EXPECT_TRUE(FolderExists(data_home + "/Orvane Systems"));
}

}  // namespace
}  // namespace orvane
