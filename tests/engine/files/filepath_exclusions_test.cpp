#include "engine/files/filepath_exclusions.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(FilepathExclusionsTest, ConfirmTrimsSortsAndDropsCaseDuplicates) {
  CleanedFilepathExclusions cleaned =
      CleanFilepathExclusions("temp/\r\nTemp\\\r\n  backup  \r\n\r\n   ");
  EXPECT_EQ(cleaned.lines, "temp/\r\nTemp/\r\n  backup  \r\n\r\n   ");
  // One of the two temp variants survives; the sort does not fix which.
  EXPECT_TRUE(cleaned.list == "backup, temp/" || cleaned.list == "backup, Temp/")
      << cleaned.list;
  EXPECT_EQ(CleanFilepathExclusions("").list, "");
  EXPECT_EQ(CleanFilepathExclusions("b\r\na\r\nb").list, "a, b");
}

TEST(FilepathExclusionsTest, SplitsTheOneLineListAtEveryComma) {
  EXPECT_EQ(SplitExcludedFilepaths(" old , tmp/,,x y,"),
            (std::vector<std::string>{"old", "tmp/", "x y"}));
  EXPECT_TRUE(SplitExcludedFilepaths("").empty());
  EXPECT_TRUE(SplitExcludedFilepaths(" , ,").empty());
  // The editor shows the items sorted ignoring case; a comma that was part
  // of an item splits it.
  EXPECT_EQ(FilepathExclusionsToLines("tmp, Backup, a,b"),
            "a\r\nb\r\nBackup\r\ntmp");
}

}  // namespace
}  // namespace orvane
