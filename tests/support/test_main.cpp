// Entry point of the test programs: every test runs headless, with its own
// application-data and home folders, and with the program's UI texts loaded
// from the source tree.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "engine/common/program_texts.h"
#include "tests/support/temp_tree.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  static orvane::testing::TempDir home;
  setenv("HOME", home.path().c_str(), 1);
  setenv("XDG_DATA_HOME", (home.path() / ".local/share").c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  std::string texts =
      (orvane::testing::SourceDataFolder() / "tavo.dat").string();
  orvane::Status loaded = orvane::LoadProgramTextsFrom(texts);
  if (!loaded.ok()) {
    fprintf(stderr, "%s\n", loaded.message().c_str());
    return 2;
  }
  return RUN_ALL_TESTS();
}
