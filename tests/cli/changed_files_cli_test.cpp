// The marks of found files that changed after the index was made, and the
// counts of changed and vanished files, in the results box, the found-files
// line and both reports, end to end. The files' and folders' times are set
// round the index file's own, so that the clock's grain decides nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/engine/search/index_fixture.h"
#include "tests/support/program_run.h"

namespace orvane::testing {
namespace {

namespace fs = std::filesystem;

class ChangedFilesCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("top/a.txt", "The fox sleeps.\r\n");
    dir_.Write("top/b.txt", "The fox runs.\r\n");
    dir_.Write("top/c.txt", "The fox hides.\r\n");
    index_ = WriteIndex(
        dir_, "ch", IndexOfTree(dir_, "top/", {"a.txt", "b.txt", "c.txt"}),
        false);
    made_ = fs::last_write_time(index_);
    for (const char* name : {"top/a.txt", "top/b.txt", "top/c.txt", "top"}) {
      fs::last_write_time(dir_.Path(name), made_ - std::chrono::seconds(100));
    }
  }
  // b.txt rewritten and c.txt gone after the index was made.
  void ChangeTree() {
    dir_.Write("top/b.txt", "The fox ran away.\r\n");
    fs::last_write_time(dir_.Path("top/b.txt"),
                        made_ + std::chrono::seconds(100));
    fs::remove(dir_.Path("top/c.txt"));
    fs::last_write_time(dir_.Path("top"), made_ + std::chrono::seconds(100));
  }
  Outcome Search(const std::vector<std::string>& args) {
    std::string command = "ORVANE_OPEN=true TMPDIR=" + Quote(dir_.folder()) +
                          " " + Quote(ORVANE_PROGRAM) + " search --index " +
                          Quote(index_) + " --top " + Quote(top());
    for (const std::string& a : args) command += " " + Quote(a);
    return RunShellCommand(command, dir_.Path("err.txt"));
  }
  std::string top() const { return dir_.folder() + "top/"; }

  TempDir dir_;
  std::string index_;
  fs::file_time_type made_;
};

TEST_F(ChangedFilesCliTest, NothingChangedLeavesTheOutputAsItWas) {
  Outcome run = Search({"fox"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, top() + "a.txt\n\"The fox sleeps.\"\n\n" + top() +
                         "b.txt\n\"The fox runs.\"\n\n" + top() +
                         "c.txt\n\"The fox hides.\"\n\n"
                         "Number of files found with matches: 3\n");
}

TEST_F(ChangedFilesCliTest, ResultsBoxMarksChangedFilesAndCountsBoth) {
  ChangeTree();
  Outcome run = Search({"fox"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            top() + "a.txt\n\"The fox sleeps.\"\n\n" + top() +
                "b.txt [changed]\n\"The fox ran away.\"\n\n"
                "\n"
                "[changed] after a path: the file changed after the index was "
                "made; what is shown of it is what it holds now.\n"
                "1 matching file no longer exists and is not listed.\n"
                "Files new in the indexed folders are not searched, and the "
                "top folder changed after the index was made.\n"
                "Number of files found with matches: 2; 1 of the files found "
                "changed after the index was made; 1 matching file no longer "
                "exists\n");
  // Sorted by score, the same marks and counts.
  Outcome sorted = Search({"--sort", "fox"});
  EXPECT_NE(sorted.out.find(top() + "b.txt [changed]\n"), std::string::npos)
      << sorted.out;
  EXPECT_NE(sorted.out.find("; 1 of the files found changed after the index "
                            "was made; 1 matching file no longer exists\n"),
            std::string::npos)
      << sorted.out;
}

TEST_F(ChangedFilesCliTest, BothReportsMarkChangedFilesAndTellTheCounts) {
  ChangeTree();
  Outcome text = Search({"--report", "text", "fox"});
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("\n" + top() + "a.txt\n"), std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("\n" + top() + "b.txt [changed]\n"),
            std::string::npos)
      << text.out;
  const std::string tail =
      "All occurrences are displayed.\n"
      "\n"
      "[changed] after a path: the file changed after the index was made; "
      "what is shown of it is what it holds now.\n"
      "1 matching file no longer exists and is not listed.\n"
      "Files new in the indexed folders are not searched, and the top folder "
      "changed after the index was made.\n";
  EXPECT_EQ(text.out.substr(text.out.size() - tail.size()), tail);

  const std::string page = dir_.Path("r.htm");
  Outcome html = Search(
      {"--report", "html", "--html-out", page, "--filepaths", "1", "fox"});
  EXPECT_EQ(html.status, 0) << html.err;
  const std::string bytes = ReadFileBytes(page);
  EXPECT_NE(bytes.find("</a> [changed]<br>"), std::string::npos);
  EXPECT_EQ(bytes.find("</a> [changed]<br>"), bytes.rfind("</a> [changed]<br>"))
      << "one file changed";
  EXPECT_NE(bytes.find("<P>[changed] after a path: the file changed after the "
                       "index was made; what is shown of it is what it holds "
                       "now.<br>\r\n1 matching file no longer exists and is "
                       "not listed.<br>\r\n"),
            std::string::npos)
      << bytes;
}

}  // namespace
}  // namespace orvane::testing
