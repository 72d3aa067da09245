#include "engine/reading/document_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using Lines = std::vector<std::string>;

TEST(DocumentTextTest, LinesBecomeContentAsUtf8FilesDo) {
  DocumentText text;
  text.title = "  Field\tNotes\r\n on  Visitors ";
  text.lines = {
      "caf\xC3\xA9 \xE2\x80\x9C"
      "curious\xE2\x80\x9D",
      "\xE2\x82\xAC 5 \xE6\x97\xA5", "plain"};
  text.page_starts = {0, 2};
  DocumentContent content = ToContent(text);
  EXPECT_EQ(content.title, "Field Notes on Visitors");
  // The typographic quotes made plain, the euro sign at its Windows-1252
  // byte, a character Windows-1252 lacks as "?".
  EXPECT_EQ(content.lines, (Lines{"caf\xE9 \"curious\"", "\x80 5 ?", "plain"}));
  EXPECT_EQ(content.page_starts, (std::vector<std::int32_t>{0, 2}));
}

TEST(DocumentTextTest, CompressedTextSplitsAsItsFileWould) {
  struct Row {
    std::string bytes;
    Lines lines;
  } rows[] = {
      {"one\r\ntwo\r\n", {"one", "two"}},
      // Only LF: LF ends lines too.
      {"one\ntwo\n\nfour", {"one", "two", "", "four"}},
      // CR somewhere: a lone LF stays in its line, as in a file.
      {"one\ntwo\rthree", {"one\ntwo", "three"}},
      {"caf\xC3\xA9\r", {"caf\xE9"}},
      // A UTF-16 text with its byte-order mark.
      {testing::Utf16File("caf\xC3\xA9\r\nend", false), {"caf\xE9", "end"}},
      {"", {}},
  };
  for (const Row& row : rows) {
    DocumentText text;
    text.bytes = row.bytes;
    EXPECT_EQ(ToContent(text).lines, row.lines) << testing::Visible(row.bytes);
  }
}

TEST(DocumentTextTest, FindsThePageOfALine) {
  // Pages 1 and 2 have no text: page 3 starts at line 0 too.
  std::vector<std::int32_t> starts = {0, 0, 0, 4, 9};
  struct Row {
    std::int32_t line_index;
    std::int32_t page_number;
  } rows[] = {{0, 3}, {3, 3}, {4, 4}, {8, 4}, {9, 5}, {500, 5}};
  for (const Row& row : rows) {
    EXPECT_EQ(PageNumberOfLine(starts, row.line_index), row.page_number)
        << row.line_index;
  }
  EXPECT_EQ(PageNumberOfLine({}, 3), 0);
}

TEST(DocumentTextTest, BuilderStopsAtItsLimit) {
  DocumentTextBuilder builder(10);
  EXPECT_TRUE(builder.Line("12345"));
  EXPECT_TRUE(builder.Bytes("1234"));
  EXPECT_FALSE(builder.Line("12"));
  EXPECT_TRUE(builder.full());
  // Once full it stays full, even for what would fit.
  EXPECT_FALSE(builder.Line("1"));
  EXPECT_EQ(builder.text().lines, (Lines{"12345"}));
  EXPECT_EQ(builder.text().bytes, "1234");
}

}  // namespace
}  // namespace orvane
