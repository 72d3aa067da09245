#include "engine/text/line_reader.h"

#include <gtest/gtest.h>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::TempDir;
using testing::Visible;
using Lines = std::vector<std::string>;

constexpr std::size_t kBuffer = LineReader::kBufferSize;

// All lines of a file with the given bytes.
Lines ReadAll(const TempDir& dir, std::string_view bytes) {
  LineReader reader;
  Status opened = reader.Open(dir.Write("f.txt", bytes));
  EXPECT_TRUE(opened.ok()) << opened.message();
  Lines lines;
  std::string line;
  while (reader.ReadLine(&line)) lines.push_back(line);
  EXPECT_TRUE(reader.error().ok());
  EXPECT_EQ(reader.bytes_consumed(), static_cast<std::int64_t>(bytes.size()));
  return lines;
}

TEST(LineReaderTest, LinesEndAtCrOrCrLf) {
  struct Row {
    std::string_view bytes;
    Lines lines;
  } rows[] = {
      {"", {}},
      {"a\r\n", {"a"}},
      {"a\r\n\r\n", {"a", ""}},
      {"a", {"a"}},
      {"a\rb", {"a", "b"}},
      {"\r", {""}},
      {"\r\r", {"", ""}},
      {"\r\n", {""}},
      // A lone LF is part of the line.
      {"a\nb\r\n", {"a\nb"}},
      {"\n", {"\n"}},
      {"a\r\n\nb", {"a", "\nb"}},
      {"a\n\rb", {"a\n", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
  };
  TempDir dir;
  for (const Row& row : rows) {
    EXPECT_EQ(ReadAll(dir, row.bytes), row.lines) << Visible(row.bytes);
  }
}

TEST(LineReaderTest, LineEndsAcrossBufferBoundaries) {
  TempDir dir;
  const std::string first(kBuffer - 1, 'x');
  // CR is the buffer's last byte, its LF the next buffer's first.
  EXPECT_EQ(ReadAll(dir, first + "\r\ntail"), (Lines{first, "tail"}));
  EXPECT_EQ(ReadAll(dir, first + "\r\n"), (Lines{first}));
  // Two CRs either side of the boundary are two line ends.
  EXPECT_EQ(ReadAll(dir, first + "\r\ry"), (Lines{first, "", "y"}));
  // An LF that starts a buffer without a CR before it stays in the line.
  const std::string full(kBuffer, 'x');
  EXPECT_EQ(ReadAll(dir, full + "\nz\r\n"), (Lines{full + "\nz"}));
  EXPECT_EQ(ReadAll(dir, full + "\r\n"), (Lines{full}));
  // A line longer than two buffers.
  const std::string longer(2 * kBuffer + 5, 'y');
  EXPECT_EQ(ReadAll(dir, "a\r\n" + longer + "\r\nb"),
            (Lines{"a", longer, "b"}));
}

TEST(LineReaderTest, KeepsOnlyTheStartOfLongLines) {
  TempDir dir;
  LineReader reader;
  const std::string body(kBuffer + 10, 'q');
  ASSERT_TRUE(reader.Open(dir.Write("f.txt", body + "\r\nend")).ok());
  std::string line;
  ASSERT_TRUE(reader.ReadLine(&line, 10));
  EXPECT_EQ(line, "qqqqqqqqqq");
  EXPECT_EQ(reader.last_line_length(), static_cast<std::int64_t>(body.size()));
  ASSERT_TRUE(reader.ReadLine(&line, 10));
  EXPECT_EQ(line, "end");
  EXPECT_EQ(reader.last_line_length(), 3);
  EXPECT_FALSE(reader.ReadLine(&line, 10));
}

TEST(LineReaderTest, TracksWhatWasConsumed) {
  TempDir dir;
  LineReader reader;
  ASSERT_TRUE(reader.Open(dir.Write("f.txt", "ab\r\ncd\ref")).ok());
  EXPECT_EQ(reader.bytes_consumed(), 0);
  std::string line;
  ASSERT_TRUE(reader.ReadLine(&line));
  EXPECT_EQ(reader.bytes_consumed(), 4);
  ASSERT_TRUE(reader.ReadLine(&line));
  EXPECT_EQ(reader.bytes_consumed(), 7);
  ASSERT_TRUE(reader.ReadLine(&line));
  EXPECT_EQ(line, "ef");
  EXPECT_EQ(reader.bytes_consumed(), 9);
  EXPECT_FALSE(reader.ReadLine(&line));
  EXPECT_TRUE(line.empty());

  // Opening again starts afresh.
  ASSERT_TRUE(reader.Open(dir.Write("g.txt", "new")).ok());
  EXPECT_EQ(reader.bytes_consumed(), 0);
  ASSERT_TRUE(reader.ReadLine(&line));
  EXPECT_EQ(line, "new");
}

TEST(LineReaderTest, ReportsFilesThatCannotBeRead) {
  TempDir dir;
  LineReader reader;
  Status missing = reader.Open(dir.Path("missing.txt"));
  EXPECT_FALSE(missing.ok());
  EXPECT_EQ(missing.message(), "No such file or directory");
  std::string line;
  EXPECT_FALSE(reader.ReadLine(&line));

  // A folder opens but cannot be read.
  Status folder = reader.Open(dir.MakeDir("sub"));
  if (folder.ok()) {
    EXPECT_FALSE(reader.ReadLine(&line));
    EXPECT_FALSE(reader.error().ok());
    EXPECT_EQ(reader.error().message(), "Is a directory");
  }
}

}  // namespace
}  // namespace orvane
