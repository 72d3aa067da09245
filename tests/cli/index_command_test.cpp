// `orvane index` end to end: the built program on scratch trees.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

struct Ran {
  int status = -1;
  std::string out;
  std::string err;
};

// Starts the program with its output going to files in dir, and the
// environment variables env set for it.
pid_t Start(const std::vector<std::string>& args, const TempDir& dir,
            const std::vector<std::pair<std::string, std::string>>& env = {}) {
  pid_t pid = fork();
  if (pid == 0) {
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    int out = open(dir.Path("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(dir.Path("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    std::string program = ORVANE_PROGRAM;
    argv.push_back(program.data());
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

Ran Finish(pid_t pid, const TempDir& dir) {
  Ran ran;
  int status = 0;
  waitpid(pid, &status, 0);
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  ran.out = ReadFileBytes(dir.Path("stdout"));
  ran.err = ReadFileBytes(dir.Path("stderr"));
  return ran;
}

Ran RunProgram(const std::vector<std::string>& args) {
  static TempDir io;
  return Finish(Start(args, io), io);
}

std::string LastLine(const std::string& text) {
  std::string trimmed = text;
  while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
  return trimmed.substr(trimmed.rfind('\n') + 1);
}

class IndexCommandTest : public ::testing::Test {
 protected:
  IndexCommandTest() {
    top_.Write("a.txt", "The first file holds these words.\n");
    top_.Write("docs/b.txt", "The second file holds other words.\r\n");
    top_.Write("docs/deep/c.txt", "A third file, deeper down the tree.\n");
    top_.Write("docs/skip.txt", "This file is excluded by its name.\n");
  }
  std::vector<std::string> Flags() {
    return {"index", "--top", top_.folder(), "--out", out_.folder(),
            "--project", "p", "--title", "Test files", "--include", "docs",
            "--subsub", "--exclude-file", "docs/skip.txt", "--min-size", "0",
            "--quiet"};
  }
  bool Exists(const std::string& name) {
    return std::filesystem::exists(out_.Path(name));
  }
  // A run that replaces the project's index by one of the tree below top.
  std::vector<std::string> OverwriteFlags(const TempDir& top) {
    return {"index",     "--top",   top.folder(), "--out",      out_.folder(),
            "--project", "p",       "--title",    "Big",        "--min-size",
            "0",         "--quiet", "--overwrite"};
  }

  // `orvane search` of the project's index, "Any word" for word, over the
  // files under top.
  testing::Outcome SearchIndex(const std::string& top, const std::string& word) {
    return testing::RunShellCommand(
        testing::Quote(ORVANE_PROGRAM) + " search --index " +
            testing::Quote(out_.Path("p_index.tavo")) + " --top " +
            testing::Quote(top) + " --type any " + word,
        io_.Path("search-err"));
  }

  TempDir top_;
  TempDir out_;
  TempDir io_;
};

// The names in a folder that hold ".part.": a run's temporary files.
std::vector<std::string> PartialFiles(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    std::string name = entry.path().filename().string();
    if (name.find(".part.") != std::string::npos) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(IndexCommandTest, CreatesTheIndexFromFlags) {
  Ran ran = RunProgram(Flags());
  EXPECT_EQ(ran.status, 0) << ran.err;
  // The closing status tells the run's time, in tenths of a second.
  EXPECT_THAT(LastLine(ran.out),
              ::testing::MatchesRegex("Data extraction completed\\.   Index "
                                      "file is p_index\\.tavo\\.  Time = "
                                      "([0-9]+\\.[0-9] seconds|1 second)\\."));
  // Before it, what was indexed and what was left out.
  EXPECT_EQ(ran.out.find("Files indexed: 3 (0 KB).  Left out: 1 excluded by "
                         "name or path.\nData extraction completed."),
            0u)
      << ran.out;
  EXPECT_TRUE(Exists("p_index.tavo"));
  EXPECT_TRUE(Exists("p_store.tavo"));
  // The classic data file only when asked for.
  EXPECT_FALSE(Exists("p_data.tavo"));
  EXPECT_TRUE(PartialFiles(out_).empty());
  std::vector<std::string> flags = Flags();
  flags.push_back("--classic-data-file");
  flags.push_back("--overwrite");
  ASSERT_EQ(RunProgram(flags).status, 0);
  EXPECT_TRUE(Exists("p_data.tavo"));
  EXPECT_TRUE(Exists("p_store.tavo"));
}

TEST_F(IndexCommandTest, ListsTheFilesInsteadWithList) {
  std::vector<std::string> flags = Flags();
  flags.push_back("--list");
  Ran ran = RunProgram(flags);
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_EQ(ran.out,
            "1. a.txt\n2. docs/b.txt\n3. docs/deep/c.txt\n"
            "3 files are to be indexed\n");
  EXPECT_FALSE(Exists("p_index.tavo"));
}

// --left-out lists what the rules left out, each file with its reason,
// after the listing and after a run's closing status.
TEST_F(IndexCommandTest, ListsTheFilesLeftOutWithTheirReasons) {
  top_.Write("picture.jpg", std::string(500, 'x'));
  std::vector<std::string> flags = Flags();
  flags.push_back("--list");
  flags.push_back("--left-out");
  Ran ran = RunProgram(flags);
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_EQ(ran.out,
            "1. a.txt\n2. docs/b.txt\n3. docs/deep/c.txt\n"
            "3 files are to be indexed\n"
            "Files left out:\n"
            "picture.jpg (of an excluded extension)\n"
            "docs/skip.txt (excluded by name or path)\n");
  flags.pop_back();
  flags.pop_back();
  flags.push_back("--left-out");
  ran = RunProgram(flags);
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_NE(ran.out.find("Left out: 1 of an excluded extension, 1 excluded "
                         "by name or path.\nData extraction completed."),
            std::string::npos)
      << ran.out;
  EXPECT_NE(ran.out.find(".\nFiles left out:\npicture.jpg"),
            std::string::npos)
      << ran.out;
}

TEST_F(IndexCommandTest, RefusesBadSettingsWithStatusTwo) {
  std::vector<std::string> no_title = Flags();
  no_title[8] = " ";
  Ran ran = RunProgram(no_title);
  EXPECT_EQ(ran.status, 2);
  EXPECT_NE(ran.err.find("title"), std::string::npos) << ran.err;
  EXPECT_EQ(ran.out, "");

  ran = RunProgram({"index", "--top", top_.folder(), "--bogus"});
  EXPECT_EQ(ran.status, 2);
  EXPECT_NE(ran.err.find("--bogus"), std::string::npos);
  ran = RunProgram({"index", "--top", top_.folder(), "--include", "nowhere", "--list"});
  EXPECT_EQ(ran.status, 2);
  EXPECT_FALSE(Exists("p_index.tavo"));
}

// The window asks before it replaces an index file; the command line
// replaces one only with --overwrite, and tells either answer.
TEST_F(IndexCommandTest, ReplacesAnIndexFileOnlyWithOverwrite) {
  ASSERT_EQ(RunProgram(Flags()).status, 0);
  std::string before = ReadFileBytes(out_.Path("p_index.tavo"));
  std::vector<std::string> other = Flags();
  other[8] = "Another title";
  Ran kept = RunProgram(other);
  EXPECT_EQ(kept.status, 2);
  EXPECT_EQ(kept.err, "orvane index: An index file " + out_.Path("p_index.tavo") +
                          " exists.  Add --overwrite to replace it.\n");
  EXPECT_EQ(ReadFileBytes(out_.Path("p_index.tavo")), before);

  other.push_back("--overwrite");
  Ran replaced = RunProgram(other);
  EXPECT_EQ(replaced.status, 0) << replaced.err;
  EXPECT_NE(replaced.err.find("Overwrite this? Yes (--overwrite)."),
            std::string::npos)
      << replaced.err;
  EXPECT_NE(ReadFileBytes(out_.Path("p_index.tavo")), before);
}

// Refusals that named the wrong cause, and a run that found no files
// without a word on why.
TEST_F(IndexCommandTest, RefusalsNameTheirCause) {
  std::vector<std::string> file_as_top = Flags();
  file_as_top[2] = top_.Path("a.txt");
  Ran ran = RunProgram(file_as_top);
  EXPECT_EQ(ran.status, 2);
  EXPECT_EQ(ran.err, "orvane index: The top folder " + top_.Path("a.txt") +
                         " is not a folder.\n");

  ran = RunProgram({"index", "--top", top_.folder(), "--include", "a.txt"});
  EXPECT_EQ(ran.status, 2);
  EXPECT_NE(ran.err.find("'a.txt' is not a folder"), std::string::npos) << ran.err;

  for (auto [flag, value, takes] :
       {std::tuple{"--min-size", "big", "a number of bytes, 0 for none"},
        std::tuple{"--special-letters", "2", "0 or 1"}}) {
    ran = RunProgram({"index", "--top", top_.folder(), flag, value});
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ran.err, "orvane index: bad value for " + std::string(flag) +
                           ": '" + value + "' (" + takes +
                           ")\nTry 'orvane help index'.\n");
  }

  TempDir nested;
  nested.Write("sub/a.txt", "Only a subfolder holds files.\n");
  ran = RunProgram({"index", "--top", nested.folder(), "--out", out_.folder(),
                    "--project", "n", "--title", "N", "--quiet"});
  EXPECT_EQ(ran.status, 1);
  EXPECT_NE(ran.err.find("No files to be indexed were found in the top folder."),
            std::string::npos)
      << ran.err;
  EXPECT_NE(ran.err.find("--include-all --subsub"), std::string::npos) << ran.err;
}

// An included subfolder that cannot be read was refused as missing; it is
// skipped with the other unreadable folders, and every count of things
// left out is followed by their paths, files that cannot be opened too.
TEST_F(IndexCommandTest, NamesWhatItCannotRead) {
  top_.Write("docs/locked/d.txt", "A file in a folder nobody may read.\n");
  top_.Write("closed/e.txt", "An included folder nobody may read.\n");
  std::string sealed = top_.Write("docs/sealed.txt", "A file nobody may open.\n");
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(top_.path())) {
    chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
  }
  chmod(top_.path().c_str(), 0755);
  chmod(top_.Path("docs/locked").c_str(), 0);
  chmod(top_.Path("closed").c_str(), 0);
  chmod(sealed.c_str(), 0);
  // Permissions bind root only when it runs as another user.
  std::string as_user = geteuid() == 0
                            ? "setpriv --reuid=65534 --regid=65534 --clear-groups "
                            : "";
  std::string command = as_user + testing::Quote(ORVANE_PROGRAM) + " index --top " +
                        testing::Quote(top_.folder()) +
                        " --include docs --include closed --subsub"
                        " --min-size 0 --list";
  testing::Outcome ran = testing::RunShellCommand(command, out_.Path("err"));
  chmod(top_.Path("docs/locked").c_str(), 0755);
  chmod(top_.Path("closed").c_str(), 0755);
  chmod(sealed.c_str(), 0644);
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_EQ(ran.err,
            "orvane index: 2 folders were skipped: permission to read denied.\n"
            "  " + top_.Path("closed/") + "\n"
            "  " + top_.Path("docs/locked/") + "\n"
            "orvane index: One file was left out: it cannot be opened.\n"
            "  " + sealed + "\n");
  EXPECT_NE(ran.out.find("docs/skip.txt"), std::string::npos) << ran.out;
  EXPECT_EQ(ran.out.find("sealed"), std::string::npos) << ran.out;
}

TEST_F(IndexCommandTest, SavesSettingsAndRunsFromThem) {
  std::vector<std::string> flags = Flags();
  flags.push_back("--save-settings");
  flags.push_back(out_.Path("p.usri"));
  Ran ran = RunProgram(flags);
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_FALSE(Exists("p_index.tavo"));  // saving does nothing else
  ran = RunProgram({"index", "--settings", out_.Path("p.usri"), "--list"});
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_EQ(LastLine(ran.out), "3 files are to be indexed");
  ran = RunProgram({"index", "--settings", out_.Path("p.usri"), "--quiet"});
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_TRUE(Exists("p_index.tavo"));

  out_.Write("bad.usri", "\"x\"\r\n");
  ran = RunProgram({"index", "--settings", out_.Path("bad.usri")});
  EXPECT_EQ(ran.status, 2);
  EXPECT_NE(ran.err.find("Error when attempting to load settings"),
            std::string::npos);
}

TEST_F(IndexCommandTest, HelpExplainsEveryFlag) {
  Ran ran = RunProgram({"help", "index"});
  EXPECT_EQ(ran.status, 0);
  for (const char* flag :
       {"--settings", "--top", "--out", "--project", "--title", "--include",
        "--include-all", "--subsub", "--exclude-top", "--exclude-file",
        "--exclude-paths", "--min-size", "--special-letters", "--list",
        "--save-settings", "--quiet", "--overwrite"}) {
    EXPECT_NE(ran.out.find(flag), std::string::npos) << flag;
  }
  EXPECT_NE(RunProgram({"help"}).out.find("index"), std::string::npos);
}

// A tree big enough that its extraction takes a while.
void WriteBigTree(const TempDir& top) {
  std::string text = "A big tree\n";
  for (int i = 0; i < 400; ++i) text += "word" + std::to_string(i % 97) + " w" + std::to_string(i) + "\n";
  for (int i = 0; i < 1500; ++i) {
    top.Write("f" + std::to_string(i) + ".txt", text + std::to_string(i) + "x\n");
  }
}

// Waits until a run's partial index file is in the folder (true), or a
// minute passes.
bool AwaitPartialIndexFile(const TempDir& dir) {
  auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < give_up) {
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      std::string name = entry.path().filename().string();
      if (name.rfind("p_index.", 0) == 0 &&
          name.find(".part.tavo") != std::string::npos) {
        return true;
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return false;
}

// Starts a run and signals it once its extraction has begun (its partial
// index file is there); returns the finished run.
Ran InterruptExtraction(const std::vector<std::string>& flags,
                        const TempDir& out, int signal_number) {
  TempDir io;
  pid_t pid = Start(flags, io);
  EXPECT_TRUE(AwaitPartialIndexFile(out));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  kill(pid, signal_number);
  return Finish(pid, io);
}

// Starts a run and kills it (kill -9) once it has reached the pause point
// (ORVANE_PAUSE_AT), or with "" once its extraction has begun; returns the
// ended run.
Ran KillAt(const std::vector<std::string>& flags, const TempDir& out,
           const char* pause_at) {
  if (*pause_at == '\0') return InterruptExtraction(flags, out, SIGKILL);
  TempDir io;
  const std::string paused = io.Path("paused");
  pid_t pid = Start(flags, io, {{"ORVANE_PAUSE_AT", pause_at},
                                {"ORVANE_PAUSED_FILE", paused}});
  auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!std::filesystem::exists(paused) &&
         std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  kill(pid, SIGKILL);
  return Finish(pid, io);
}

TEST_F(IndexCommandTest, AKilledRunLeavesNoFileUnderTheFinalNames) {
  TempDir top;
  WriteBigTree(top);
  std::vector<std::string> flags = {"index", "--top", top.folder(), "--out",
                                    out_.folder(), "--project", "p",
                                    "--title", "Big", "--min-size", "0",
                                    "--quiet"};
  Ran ran = InterruptExtraction(flags, out_, SIGKILL);
  ASSERT_EQ(ran.status, -SIGKILL) << "the run ended before it was killed";
  EXPECT_FALSE(Exists("p_index.tavo"));
  EXPECT_FALSE(Exists("p_data.tavo"));
  EXPECT_FALSE(PartialFiles(out_).empty());

  // The next run clears what the killed one left.
  flags[2] = top_.folder();
  ran = RunProgram(flags);
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_TRUE(PartialFiles(out_).empty());
  EXPECT_TRUE(Exists("p_index.tavo"));
}

// Issue 18: `orvane index --overwrite` killed while it ran left neither
// index, and the next run published a damaged one. Killed at any moment,
// a run leaves the earlier pair as it was, searchable; once its index file
// has its name, that one, searchable too. A later run succeeds and clears
// what the killed ones left.
TEST_F(IndexCommandTest, AnOverwriteKilledAtAnyMomentLeavesASearchableIndex) {
  // With the classic data file, so that every file of the run is watched.
  std::vector<std::string> first = Flags();
  first.push_back("--classic-data-file");
  ASSERT_EQ(RunProgram(first).status, 0);
  const std::string earlier_index = ReadFileBytes(out_.Path("p_index.tavo"));
  const std::string earlier_data = ReadFileBytes(out_.Path("p_data.tavo"));
  TempDir big;
  WriteBigTree(big);
  std::vector<std::string> flags = OverwriteFlags(big);
  flags.push_back("--classic-data-file");
  struct Moment {
    const char* pause_at;  // "" for a kill while the files are read
    bool new_index;        // the run's index file has its name
  } moments[] = {{"", false}, {"publish", false}, {"between-renames", true}};
  for (const Moment& moment : moments) {
    SCOPED_TRACE(moment.pause_at);
    Ran ran = KillAt(flags, out_, moment.pause_at);
    ASSERT_EQ(ran.status, -SIGKILL) << "the run ended before it was killed";
    if (!moment.new_index) {
      EXPECT_EQ(ReadFileBytes(out_.Path("p_index.tavo")), earlier_index);
      EXPECT_EQ(ReadFileBytes(out_.Path("p_data.tavo")), earlier_data);
      testing::Outcome found = SearchIndex(top_.folder(), "holds");
      EXPECT_EQ(found.status, 0) << found.err;
      EXPECT_NE(found.out.find("docs/b.txt"), std::string::npos) << found.out;
    } else {
      EXPECT_NE(ReadFileBytes(out_.Path("p_index.tavo")), earlier_index);
      // Beside it, the earlier data file, which the search leaves.
      EXPECT_EQ(ReadFileBytes(out_.Path("p_data.tavo")), earlier_data);
      testing::Outcome found = SearchIndex(big.folder(), "tree");
      EXPECT_EQ(found.status, 0) << found.err;
      EXPECT_NE(found.out.find(big.folder() + "f0.txt"), std::string::npos)
          << found.out;
      // The search answers from a store made from the new index file.
      EXPECT_TRUE(Exists("p_store.tavo"));
      // The earlier pair back for the next moment.
      std::filesystem::remove(out_.Path("p_store.tavo"));
      std::filesystem::remove(out_.Path("p_index.tavo"));
      std::filesystem::remove(out_.Path("p_data.tavo"));
      out_.Write("p_index.tavo", earlier_index);
      out_.Write("p_data.tavo", earlier_data);
    }
    EXPECT_FALSE(PartialFiles(out_).empty());
  }
  Ran ran = RunProgram(flags);
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_TRUE(PartialFiles(out_).empty());
}

// A run that writes the store and no data file, killed while it reads the
// files or while it merges the postings, leaves the earlier index and store
// byte for byte; killed between the store's publication and the index
// file's, the earlier index file, from which the search makes the store
// again. The next run clears what they left, and what a search killed while
// it made a store left.
TEST_F(IndexCommandTest, AStoreOnlyOverwriteKilledLeavesTheEarlierIndex) {
  ASSERT_EQ(RunProgram(Flags()).status, 0);
  const std::string earlier_index = ReadFileBytes(out_.Path("p_index.tavo"));
  const std::string earlier_store = ReadFileBytes(out_.Path("p_store.tavo"));
  TempDir big;
  WriteBigTree(big);
  const std::vector<std::string> flags = OverwriteFlags(big);
  for (const char* pause_at : {"", "merge", "publish"}) {
    SCOPED_TRACE(pause_at);
    Ran ran = KillAt(flags, out_, pause_at);
    ASSERT_EQ(ran.status, -SIGKILL) << "the run ended before it was killed";
    EXPECT_EQ(ReadFileBytes(out_.Path("p_index.tavo")), earlier_index);
    EXPECT_FALSE(Exists("p_data.tavo"));
    EXPECT_FALSE(PartialFiles(out_).empty());
    if (std::string_view(pause_at) != "publish") {
      EXPECT_EQ(ReadFileBytes(out_.Path("p_store.tavo")), earlier_store);
      continue;
    }
    // The new store beside the earlier index: the search makes it again.
    EXPECT_NE(ReadFileBytes(out_.Path("p_store.tavo")), earlier_store);
    testing::Outcome found = SearchIndex(top_.folder(), "holds");
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_NE(found.out.find("docs/b.txt"), std::string::npos) << found.out;
  }
  out_.Write("p_store.search-999999999.part.tavo", "a killed search's");
  Ran ran = RunProgram(flags);
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_TRUE(PartialFiles(out_).empty()) << PartialFiles(out_).front();
  EXPECT_NE(ReadFileBytes(out_.Path("p_index.tavo")), earlier_index);
}

// Issue 18: the leftovers of a killed run under the names runs of earlier
// versions gave them were removed while the next run wrote files of the
// same names, which then published a damaged index.
TEST_F(IndexCommandTest, LeftoversOfEarlierVersionsGoBeforeTheRun) {
  out_.Write("p_index.part.tavo", "");
  out_.Write("p_data.part.tavo", std::string(100000, '\0'));
  out_.Write("p_index.ttavoc", "x");
  Ran ran = RunProgram(Flags());
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_TRUE(PartialFiles(out_).empty());
  EXPECT_FALSE(Exists("p_index.ttavoc"));
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(out_.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"p_index.tavo", "p_settings.usri",
                                            "p_store.tavo"}));
  testing::Outcome found = SearchIndex(top_.folder(), "holds");
  EXPECT_EQ(found.status, 0) << found.err;
}

// A run that fails publishes nothing: the earlier pair stays.
TEST_F(IndexCommandTest, AFailedRunPublishesNothing) {
  ASSERT_EQ(RunProgram(Flags()).status, 0);
  const std::string earlier_index = ReadFileBytes(out_.Path("p_index.tavo"));
  const std::string earlier_data = ReadFileBytes(out_.Path("p_data.tavo"));
  TempDir big;
  WriteBigTree(big);
  // A file-size limit makes the run's writes fail as a full disk would.
  std::string command = "trap '' XFSZ; ulimit -f 64; exec " +
                        testing::Quote(ORVANE_PROGRAM);
  const std::vector<std::string> flags = OverwriteFlags(big);
  for (const std::string& flag : flags) command += " " + testing::Quote(flag);
  TempDir io;
  testing::Outcome ran = testing::RunShellCommand(command, io.Path("err"));
  EXPECT_EQ(ran.status, 1) << ran.err;
  EXPECT_NE(ran.err.find("File too large"), std::string::npos) << ran.err;
  EXPECT_EQ(ReadFileBytes(out_.Path("p_index.tavo")), earlier_index);
  EXPECT_EQ(ReadFileBytes(out_.Path("p_data.tavo")), earlier_data);
  EXPECT_TRUE(PartialFiles(out_).empty());
}

TEST_F(IndexCommandTest, CtrlCStopsTheRunAndLeavesNothing) {
  TempDir top;
  WriteBigTree(top);
  Ran ran = InterruptExtraction(
      {"index", "--top", top.folder(), "--out", out_.folder(), "--project",
       "p", "--title", "Big", "--min-size", "0", "--quiet"},
      out_, SIGINT);
  EXPECT_EQ(ran.status, 1) << ran.err;
  EXPECT_EQ(LastLine(ran.out).rfind("Data extraction stopped.", 0), 0u)
      << ran.out;
  EXPECT_TRUE(std::filesystem::is_empty(out_.path()));
}

}  // namespace
}  // namespace orvane
