#include "engine/shell/launcher.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/common/program_texts.h"

namespace orvane {
namespace {

// The message told of a ZIP file and a program menu that do not exist
// here; it names the folder where the manual's pages are.
TEST(LauncherTest, UserManualMessageNamesTheManualsFolder) {
  const std::string folder = UserManualFolder();
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder) / "index.htm"))
      << folder;
  const std::string expected =
      GetProgramText(82) + "\r\n" + GetProgramText(83) + "\r\n\r\n" +
      "On this computer the manual is the set of HTML files in the folder\r\n" +
      folder +
      "\r\n\r\n"
      "Its start page, index.htm, opens in your web browser when you\r\n"
      "close this message; you can also load that file into a web browser\r\n"
      "to read the manual.";
  EXPECT_EQ(UserManualMessage(), expected);
}

TEST(LauncherTest, HandOverEndsTheIndexModuleAndOpeningClearsTheFlags) {
  LauncherState state;
  HandOverToSearchModule(state, "/data/archive/", "/out/archive_index.tavo");
  EXPECT_TRUE(state.blnQuit);
  EXPECT_TRUE(state.blnIndexModuleToSearchModule);
  EXPECT_EQ(state.strTopFolder, "/data/archive/");
  EXPECT_EQ(state.strIndexFile, "/out/archive_index.tavo");

  StartModule(state);
  EXPECT_FALSE(state.blnQuit);
  EXPECT_FALSE(state.blnIndexModuleToSearchModule);
  // The hand-over values stay in the launcher between module sessions.
  EXPECT_EQ(state.strTopFolder, "/data/archive/");
}

}  // namespace
}  // namespace orvane
