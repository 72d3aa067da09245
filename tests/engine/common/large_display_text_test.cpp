#include "engine/common/large_display_text.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(LargeDisplayTextTest, CutsAndEndsTheTextOnceItPassedTheLimit) {
  LargeDisplayText display;
  display.set_buffer_full_message("THE REPORT BUFFER IS FULL.");
  display.Output(std::string(70000, 'x'), 0);
  EXPECT_EQ(display.length(), 70000);
  EXPECT_FALSE(display.report_buffer_full());

  LargeDisplayText::Change change = display.Output("more", 1);
  EXPECT_TRUE(change.replaced);
  EXPECT_TRUE(display.report_buffer_full());
  EXPECT_EQ(display.text(), std::string(69488, 'x') +
                                " ...\r\n\r\nTHE REPORT BUFFER IS FULL.\r\n");

  std::string before = display.text();
  change = display.Output("still more", 2);
  EXPECT_FALSE(change.replaced);
  EXPECT_TRUE(change.appended.empty());
  EXPECT_EQ(display.text(), before);

  display.Clear();
  EXPECT_FALSE(display.report_buffer_full());
  display.Output("again", 1);
  EXPECT_EQ(display.text(), "again\r\n");
}

TEST(LargeDisplayTextTest, CountsCharactersNotBytes) {
  LargeDisplayText display;
  // 30,000 two-byte characters stay below the limit of 61,440 characters.
  std::string text;
  for (int i = 0; i < 30000; ++i) text += "\xC3\xA9";
  display.Output(text, 0);
  display.Output("x", 0);
  EXPECT_FALSE(display.report_buffer_full());
  EXPECT_EQ(display.length(), 30001);
}

TEST(LargeDisplayTextTest, DisplayArraySeparatesFoldersAndAddsTheClosing) {
  LargeDisplayText display;
  std::vector<std::string> items = {"/a/x.txt", "/a/y.txt", "/b/z.txt"};
  LargeDisplayText::Change change =
      display.DisplayArray(items, 0, 2, "Done.", true);
  const char* expected =
      "/a/x.txt\r\n/a/y.txt\r\n\r\n/b/z.txt\r\n\r\nDone.";
  EXPECT_EQ(display.text(), expected);
  EXPECT_EQ(change.appended, expected);
}

TEST(LargeDisplayTextTest, DisplayArrayAtTheLimitWritesNoClosing) {
  LargeDisplayText display;
  display.set_buffer_full_message("THE FILE LIST BUFFER IS FULL.");
  std::vector<std::string> items(1000, std::string(98, 'p'));
  display.DisplayArray(items, 0, 999, "Done.", false);
  // 614 lines of 100 characters fit into 61,440; the 615th does not.
  std::string expected;
  for (int i = 0; i < 614; ++i) expected += std::string(98, 'p') + "\r\n";
  expected += "\r\nTHE FILE LIST BUFFER IS FULL.";
  EXPECT_EQ(display.text(), expected);
}

}  // namespace
}  // namespace orvane
