// The program and its windows module: a command-line run maps no Qt
// library, the windows open from the module beside the program or from the
// installed layout, and a missing or broken module is told clearly.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/program_run.h"
#include "tests/support/temp_tree.h"

namespace orvane::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kModule = fs::path(ORVANE_BINARY_DIR) / "liborvane_windows.so";

class WindowsModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kModule)) GTEST_SKIP() << "built without the windows";
  }
  // Runs program with args under the environment assignments env.
  Outcome Run(const std::string& env, const std::string& program,
              const std::string& args) {
    return RunShellCommand(env + " " + Quote(program) + " " + args,
                           dir_.Path("err.txt"));
  }
  // A copy of the program in dir_/bin (a link would be followed back to
  // the build folder).
  std::string CopyProgram() {
    fs::create_directories(dir_.path() / "bin");
    fs::path copy = dir_.path() / "bin" / "orvane";
    fs::copy_file(ORVANE_PROGRAM, copy);
    return copy.string();
  }
  TempDir dir_;
};

TEST_F(WindowsModuleTest, CommandLineMapsNoQtLibrary) {
  // What the dynamic loader maps for the program before it runs.
  Outcome libraries = Run("LD_TRACE_LOADED_OBJECTS=1", ORVANE_PROGRAM, "");
  EXPECT_EQ(libraries.status, 0);
  EXPECT_NE(libraries.out.find("libzstd"), std::string::npos) << libraries.out;
  EXPECT_EQ(libraries.out.find("Qt"), std::string::npos) << libraries.out;
}

TEST_F(WindowsModuleTest, MissingModuleIsToldAndTheCommandLineStillWorks) {
  std::string program = CopyProgram();
  Outcome windows = Run("QT_QPA_PLATFORM=offscreen", program, "");
  EXPECT_EQ(windows.status, 2);
  EXPECT_NE(windows.err.find("the windows module is missing"), std::string::npos)
      << windows.err;
  EXPECT_NE(windows.err.find(dir_.Path("bin/liborvane_windows.so")),
            std::string::npos)
      << windows.err;
  EXPECT_NE(windows.err.find(dir_.Path("lib/orvane/liborvane_windows.so")),
            std::string::npos)
      << windows.err;

  Outcome version = Run("", program, "--version");
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out.rfind("Orvane File Search ", 0), 0u) << version.out;
  EXPECT_NE(version.out.find("License GPL-3.0-or-later"), std::string::npos)
      << version.out;
}

TEST_F(WindowsModuleTest, BrokenModuleIsTold) {
  std::string program = CopyProgram();
  dir_.Write("bin/liborvane_windows.so", "not a library");
  Outcome run = Run("QT_QPA_PLATFORM=offscreen", program, "");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.rfind("orvane: the windows cannot be opened: ", 0), 0u)
      << run.err;
}

// Without a display the launcher cannot open: one line says so and names
// what runs on the command line, instead of Qt's abort (status 134). An
// unreachable display is told the same way.
TEST_F(WindowsModuleTest, NoDisplayIsToldInOneLine) {
  const std::string unset = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";
  for (const std::string& env : {unset, unset + " DISPLAY=:4321"}) {
    Outcome run = Run(env, ORVANE_PROGRAM, "");
    EXPECT_EQ(run.status, 2) << env;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_EQ(run.err.rfind("orvane: no display found", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("'orvane demo'"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("'orvane help'"), std::string::npos) << run.err;
  }
}

TEST_F(WindowsModuleTest, InstalledLayoutOpensTheWindows) {
  // bin/orvane, lib/orvane/liborvane_windows.so, share/orvane/tavo.dat.
  std::string program = CopyProgram();
  fs::create_directories(dir_.path() / "lib" / "orvane");
  fs::copy_file(kModule, dir_.path() / "lib" / "orvane" / "liborvane_windows.so");
  fs::create_directories(dir_.path() / "share" / "orvane");
  fs::copy_file(SourceDataFolder() / "tavo.dat",
                dir_.path() / "share" / "orvane" / "tavo.dat");
  Outcome run = Run("QT_QPA_PLATFORM=offscreen", program,
                    "--screenshots " + Quote(dir_.Path("shots")));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::exists(dir_.Path("shots/frmMain.png"))) << run.out << run.err;
}

}  // namespace
}  // namespace orvane::testing
