#include "engine/shell/launcher.h"

#include <gtest/gtest.h>

#include "engine/common/common_values.h"
#include "engine/common/program_texts.h"

namespace orvane {
namespace {

TEST(LauncherTest, UserManualMessageNamesTheZipFileAndFolder) {
  OV_common::InitCommonValues();
  std::string abbr = GetProgramText(7);
  for (char& c : abbr) c = static_cast<char>(std::tolower(c));
  const std::string expected =
      GetProgramText(82) + "\r\n" + GetProgramText(83) + "\r\n\r\n" +
      "It is also provided as HTML files contained in the ZIP file\r\n" + abbr +
      "_user_manual.zip in the " + abbr +
      "101 program files folder.\r\n\r\n"
      "There is an entry in the '" +
      GetProgramText(1) +
      "' program menu\r\n"
      "for this ZIP file, which you can save to a location of your "
      "choice.\r\n\r\n"
      "Unzip the file into some folder on your computer.  Load the file " +
      abbr +
      ".htm\r\n"
      "into a web browser to read the manual.";
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
