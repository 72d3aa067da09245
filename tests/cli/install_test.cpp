// The installed program: `cmake --install` into a scratch prefix gives a
// program that runs from there, with its desktop entry, icons, software-
// centre description, manual page, README and user manual in the places a
// Linux desktop looks for them, each accepted by its checker.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "tests/support/program_run.h"
#include "tests/support/temp_tree.h"

namespace orvane::testing {
namespace {

namespace fs = std::filesystem;

class InstallTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = new TempDir;
    installed_ = RunShellCommand(Quote(ORVANE_CMAKE) + " --install " +
                                     Quote(ORVANE_BINARY_DIR) + " --prefix " +
                                     Quote(prefix_->path().string()),
                                 prefix_->Path("install.err"));
  }
  static void TearDownTestSuite() { delete prefix_; }
  void SetUp() override { ASSERT_EQ(installed_.status, 0) << installed_.err; }

  static std::string Installed(const std::string& relative) {
    return prefix_->Path(relative);
  }
  // Runs a command, its standard error kept beside the prefix.
  static Outcome Run(const std::string& command) {
    return RunShellCommand(command, prefix_->Path("run.err"));
  }

  static TempDir* prefix_;
  static Outcome installed_;
};

TempDir* InstallTest::prefix_ = nullptr;
Outcome InstallTest::installed_;

TEST_F(InstallTest, TheInstalledProgramRunsTheDemo) {
  Outcome demo =
      Run("env -u ORVANE_OPEN " + Quote(Installed("bin/orvane")) + " demo");
  EXPECT_EQ(demo.status, 0) << demo.err;
  EXPECT_NE(demo.out.find("Data extraction completed."), std::string::npos);
  EXPECT_NE(demo.out.find("Search: to be or not to be (Exact phrase)"),
            std::string::npos);
  // The program's links lead to the manual in share/doc/orvane.
  EXPECT_TRUE(fs::exists(Installed("share/orvane/docs/index.htm")));
  EXPECT_TRUE(fs::exists(Installed("share/doc/orvane/index.htm")));
  EXPECT_TRUE(fs::exists(Installed("share/doc/orvane/README.md")));
  EXPECT_TRUE(fs::exists(Installed("share/doc/orvane/LICENSE")));
  // The document reader, where the program looks for it.
  EXPECT_TRUE(fs::exists(Installed("lib/orvane/orvane-reader")));
  // The windows open from the installed module too (when built with them).
  if (!fs::exists(fs::path(ORVANE_BINARY_DIR) / "liborvane_windows.so")) return;
  Outcome shots = Run("QT_QPA_PLATFORM=offscreen " + Quote(Installed("bin/orvane")) +
                      " --screenshots " + Quote(Installed("shots")));
  EXPECT_EQ(shots.status, 0) << shots.err;
  EXPECT_TRUE(fs::exists(Installed("shots/frmMain.png")));
}

TEST_F(InstallTest, DesktopEntryIconsAndDescriptionPassTheirCheckers) {
  const std::string entry =
      Installed("share/applications/com.orvanesystems.orvane.desktop");
  Outcome desktop = Run("desktop-file-validate " + Quote(entry));
  EXPECT_EQ(desktop.status, 0) << desktop.out << desktop.err;
  // A hint only says that both categories are main ones, as asked for.
  EXPECT_EQ(desktop.out.find("error"), std::string::npos) << desktop.out;
  EXPECT_EQ(desktop.out.find("warning"), std::string::npos) << desktop.out;
  const std::string text = ReadFileBytes(entry);
  EXPECT_NE(text.find("\nExec=orvane\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nCategories=Office;Utility;\n"), std::string::npos)
      << text;

  Outcome metainfo = Run(
      "appstreamcli validate --no-net " +
      Quote(Installed("share/metainfo/com.orvanesystems.orvane.metainfo.xml")));
  EXPECT_EQ(metainfo.status, 0) << metainfo.out << metainfo.err;

  EXPECT_TRUE(
      fs::exists(Installed("share/icons/hicolor/scalable/apps/orvane.svg")));
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string png =
        Installed("share/icons/hicolor/" + std::to_string(size) + "x" +
                  std::to_string(size) + "/apps/orvane.png");
    const std::string bytes = ReadFileBytes(png);
    ASSERT_GT(bytes.size(), 24u) << png;
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n") << png;
    // The width and height of the IHDR chunk, big-endian.
    auto number = [&](std::size_t at) {
      return (static_cast<unsigned char>(bytes[at + 2]) << 8) |
             static_cast<unsigned char>(bytes[at + 3]);
    };
    EXPECT_EQ(number(16), size);
    EXPECT_EQ(number(20), size);
  }
}

// The manual page reads without warnings and names every command and every
// option that the program's own help names.
TEST_F(InstallTest, ManualPageNamesEveryCommandAndOption) {
  const std::string page = Installed("share/man/man1/orvane.1");
  Outcome man =
      Run("MANWIDTH=80 MANPAGER=cat man --warnings -l " + Quote(page));
  EXPECT_EQ(man.status, 0) << man.err;
  EXPECT_EQ(man.err, "");
  // man may join words with hyphenation marks; the flags are not hyphenated.
  for (const char* section : {"SYNOPSIS", "EXIT STATUS", "FILES", "EXAMPLES"}) {
    EXPECT_NE(man.out.find(section), std::string::npos) << section;
  }
  std::set<std::string> flags;
  const std::regex flag("--[a-z][a-z-]*");
  for (const char* command : {"", "index", "search", "list", "demo"}) {
    Outcome help = Run(Quote(ORVANE_PROGRAM) + " help " + command);
    for (std::sregex_iterator it(help.out.begin(), help.out.end(), flag), end;
         it != end; ++it) {
      flags.insert(it->str());
    }
  }
  EXPECT_GT(flags.size(), 25u);
  const std::string source = ReadFileBytes(page);
  for (const std::string& name : flags) {
    std::string in_roff = std::regex_replace(name, std::regex("-"), "\\-");
    EXPECT_NE(source.find(in_roff), std::string::npos) << name;
  }
  for (const char* command : {"index", "search", "list", "demo", "help"}) {
    EXPECT_TRUE(std::regex_search(
        source, std::regex(std::string("\n\\.BR? ") + command + "\\b")))
        << command;
  }
}

}  // namespace
}  // namespace orvane::testing
