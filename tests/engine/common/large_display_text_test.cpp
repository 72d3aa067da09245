#include "engine/common/large_display_text.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

// The lines as a window shows them, joined by "|".
std::string Lines(const LargeDisplayText& display) {
  std::string out;
  for (std::size_t i = 0; i < display.line_count(); ++i) {
    if (i > 0) out += '|';
    out += display.line(i);
  }
  return out;
}

// The whole report and the whole listing reach the window: no limit cuts
// them (the window once stopped at 61,440 characters).
TEST(LargeDisplayTextTest, KeepsTheWholeText) {
  LargeDisplayText display;
  display.set_buffer_full_message("THE REPORT BUFFER IS FULL.");
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    const std::string piece =
        "file " + std::to_string(i) + std::string(60, 'x');
    display.Output(piece, 1);
    expected += piece + "\r\n";
  }
  EXPECT_EQ(display.text(), expected);
  EXPECT_FALSE(display.report_buffer_full());
  EXPECT_EQ(display.line_count(), 3001u);  // the last one empty
  EXPECT_EQ(display.line(2999), "file 2999" + std::string(60, 'x'));

  display.Clear();
  display.Output("again", 1);
  EXPECT_EQ(display.text(), "again\r\n");
}

TEST(LargeDisplayTextTest, CutsLinesAtLineFeeds) {
  struct Row {
    std::vector<std::string> pieces;  // one Output each, no line break added
    const char* lines;
    std::size_t longest;
  } rows[] = {
      {{}, "", 0},
      {{"one"}, "one", 0},
      {{"one\r\n"}, "one|", 0},
      {{"a\r\nbb\r\n\r\nc"}, "a|bb||c", 1},
      // A CR at the end of one piece and the LF at the start of the next
      // make one line break.
      {{"ab\r", "\ncd"}, "ab|cd", 0},
      {{"a", "bc", "\r\nlong line"}, "abc|long line", 1},
      // A lone LF ends a line too; a CR inside a line stays.
      {{"x\ny\rz"}, "x|y\rz", 1},
      // Characters, not bytes, make the longest line.
      {{"\xC3\xA9\xC3\xA9\xC3\xA9\r\nabcd"},
       "\xC3\xA9\xC3\xA9\xC3\xA9|abcd",
       1},
  };
  for (const Row& r : rows) {
    LargeDisplayText display;
    std::string whole;
    for (const std::string& piece : r.pieces) {
      display.Output(piece, 0);
      whole += piece;
    }
    EXPECT_EQ(Lines(display), r.lines) << whole;
    EXPECT_EQ(display.longest_line(), r.longest) << whole;
    EXPECT_EQ(display.text(), whole);
  }
}

TEST(LargeDisplayTextTest, ARefusedAppendEndsTheTextOnce) {
  LargeDisplayText display;
  display.set_buffer_full_message("THE REPORT BUFFER IS FULL.");
  display.Output("first", 1);
  display.MarkAppendRefused();
  display.Output("more", 1);
  EXPECT_TRUE(display.report_buffer_full());
  EXPECT_EQ(display.text(),
            "first\r\n ...\r\n\r\nTHE REPORT BUFFER IS FULL.\r\n");
  display.Output("still more", 2);
  display.DisplayArray({"a", "b"}, 0, 1, "Done.", false);
  EXPECT_EQ(display.text(),
            "first\r\n ...\r\n\r\nTHE REPORT BUFFER IS FULL.\r\n");

  display.Clear();
  EXPECT_FALSE(display.report_buffer_full());
  display.Output("again", 0);
  EXPECT_EQ(display.text(), "again");
}

TEST(LargeDisplayTextTest, DisplayArraySeparatesFoldersAndAddsTheClosing) {
  LargeDisplayText display;
  std::vector<std::string> items = {"/a/x.txt", "/a/y.txt", "/b/z.txt"};
  display.DisplayArray(items, 0, 2, "Done.", true);
  EXPECT_EQ(display.text(),
            "/a/x.txt\r\n/a/y.txt\r\n\r\n/b/z.txt\r\n\r\nDone.");
  // A long list is written whole, closing included.
  LargeDisplayText listing;
  std::vector<std::string> many(100000, std::string(98, 'p'));
  listing.DisplayArray(many, 0, 99999, "Done.", false);
  EXPECT_EQ(listing.line_count(), 100002u);
  EXPECT_EQ(listing.line(99999), std::string(98, 'p'));
  EXPECT_EQ(listing.line(100001), "Done.");
  EXPECT_EQ(listing.length(), 100000 * 100 + 2 + 5);
}

}  // namespace
}  // namespace orvane
