#include "engine/search/index_text_lines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

// The lines of text as IndexTextLines is to give them.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t newline = text.find('\n', start);
    std::size_t end = newline == std::string::npos ? text.size() : newline;
    std::size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    lines.push_back(text.substr(start, stop - start));
    start = newline == std::string::npos ? text.size() : newline + 1;
  }
  return lines;
}

// Lines of every length round the reader's buffer, which they cross at
// every offset: short ones, CR LF split by a refill, LF alone, empty ones,
// a line several times the buffer, and a last line without its line end.
TEST(IndexTextLinesTest, GivesEveryLineAcrossRefillsAndGrowth) {
  std::uint64_t state = 7;
  auto next = [&state](std::uint64_t n) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % n;
  };
  std::string text;
  for (int i = 0; i < 6000; ++i) {
    std::size_t length = next(5) == 0 ? next(3000) : next(40);
    if (i == 2500) length = 700000;
    for (std::size_t k = 0; k < length; ++k) {
      text.push_back(static_cast<char>('a' + next(26)));
    }
    text += next(4) == 0 ? "\n" : "\r\n";
  }
  text += "last line";
  TempDir dir;
  std::string path = WriteCompressed(dir, "t_index.tavo", text);

  IndexTextLines lines;
  ASSERT_EQ(lines.Open(path), 0);
  std::vector<std::string> expected = SplitLines(text);
  std::string_view line;
  std::size_t n = 0;
  std::int64_t offset = 0;
  while (lines.Next(&line)) {
    ASSERT_LT(n, expected.size());
    ASSERT_EQ(line, expected[n]) << "line " << n + 1;
    offset = static_cast<std::int64_t>(text.find('\n', offset));
    offset = offset < 0 ? static_cast<std::int64_t>(text.size()) : offset + 1;
    ASSERT_EQ(lines.offset(), offset) << "line " << n + 1;
    ++n;
  }
  EXPECT_EQ(n, expected.size());
  EXPECT_EQ(lines.error(), 0);
  EXPECT_EQ(lines.line_number(), static_cast<std::int64_t>(expected.size()));
}

TEST(IndexTextLinesTest, SkipsAndCountsToTheEnd) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += std::to_string(i) + "\r\n";
  TempDir dir;
  std::string path = WriteCompressed(dir, "t_index.tavo", text);
  IndexTextLines lines;
  ASSERT_EQ(lines.Open(path), 0);
  std::size_t at = text.find("\r\n54321\r\n") + 2;
  ASSERT_TRUE(lines.SkipTo(static_cast<std::int64_t>(at)));
  std::string_view line;
  ASSERT_TRUE(lines.Next(&line));
  EXPECT_EQ(line, "54321");
  EXPECT_EQ(lines.CountToEnd(), static_cast<std::int64_t>(text.size()));
  EXPECT_FALSE(lines.Next(&line));
  EXPECT_FALSE(lines.SkipTo(static_cast<std::int64_t>(text.size()) + 1));
}

// Issue 13: a damaged index whose text held one line of 1.2 GB made the
// reader hold all of it. The longest line kept is bounded: a line that fits
// is read whole, a longer one stops the reader with line_too_long().
TEST(IndexTextLinesTest, StopsAtALineLongerThanAnyIndexHolds) {
  constexpr std::size_t kMax = IndexTextLines::kMaxLineLength;
  const std::string longest = "\"" + std::string(kMax - 3, 'a');
  TempDir dir;
  std::string path = WriteCompressed(
      dir, "t_index.tavo", "first\r\n" + longest + "\r\nnext\r\n" + longest + "aa");
  IndexTextLines lines;
  ASSERT_EQ(lines.Open(path), 0);
  std::string_view line;
  ASSERT_TRUE(lines.Next(&line));
  ASSERT_TRUE(lines.Next(&line));
  EXPECT_EQ(line.size(), longest.size());
  ASSERT_TRUE(lines.Next(&line));
  EXPECT_EQ(line, "next");
  EXPECT_TRUE(lines.LineTooLongText().empty());
  EXPECT_FALSE(lines.Next(&line));
  EXPECT_TRUE(lines.line_too_long());
  EXPECT_EQ(lines.error(), 0);
  EXPECT_EQ(lines.LineTooLongText(),
            "line 4 is longer than any line of an index");
  EXPECT_FALSE(lines.Next(&line));
}

}  // namespace
}  // namespace orvane::testing
