// Entry point of the window tests: headless (the offscreen platform), with
// their own application-data and home folders, the UI texts loaded from the
// source tree, and an opener command that opens nothing, so that no test
// ever starts a browser or waits on a window system.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <cstdio>
#include <string>

#include "engine/common/program_texts.h"
#include "tests/support/temp_tree.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  static orvane::testing::TempDir home;
  setenv("HOME", home.path().c_str(), 1);
  setenv("XDG_DATA_HOME", (home.path() / ".local/share").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", home.path().c_str(), 0);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("ORVANE_OPEN", "true", 0);
  QApplication application(argc, argv);
  application.setQuitOnLastWindowClosed(false);
  std::string texts =
      (orvane::testing::SourceDataFolder() / "tavo.dat").string();
  orvane::Status loaded = orvane::LoadProgramTextsFrom(texts);
  if (!loaded.ok()) {
    std::fprintf(stderr, "%s\n", loaded.message().c_str());
    return 2;
  }
  return RUN_ALL_TESTS();
}
