#include "engine/index/extraction_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::TempDir;
using Lines = std::vector<std::string>;

// "opened", "vanished" or the failure's description.
std::string Told(const Result<ExtractionLines::OpenResult>& opened) {
  if (!opened.ok()) return opened.status().message();
  return *opened == ExtractionLines::OpenResult::kOpened ? "opened"
                                                         : "vanished";
}

Lines ReadAll(const std::string& path, bool split_at_lf) {
  ExtractionLines reader;
  EXPECT_EQ(Told(reader.Open(path, split_at_lf)), "opened");
  Lines lines;
  std::string_view line;
  while (reader.Next(&line)) lines.emplace_back(line);
  EXPECT_EQ(reader.error(), "");
  return lines;
}

TEST(ExtractionLinesTest, SplitsAtCrAndCrLfAndAtLfOnlyWhenAsked) {
  struct Row {
    std::string bytes;
    Lines cr_lines;  // CR and CR LF end a line; LF stays in it
    Lines lf_lines;  // LF ends a line too
  } rows[] = {
      {"a\r\nb\rc", {"a", "b", "c"}, {"a", "b", "c"}},
      {"a\nb\r\nc\n", {"a\nb", "c\n"}, {"a", "b", "c"}},
      {"a\n\nb", {"a\n\nb"}, {"a", "", "b"}},
      // An LF just before a CR leaves no empty line between them, but an
      // empty line between two CRs stays.
      {"a\n\rb\r\rc", {"a\n", "b", "", "c"}, {"a", "b", "", "c"}},
      {"\n", {"\n"}, {""}},
      {"last\r", {"last"}, {"last"}},
      {"", {}, {}},
  };
  TempDir dir;
  for (const Row& row : rows) {
    std::string path = dir.Write("f.txt", row.bytes);
    EXPECT_EQ(ReadAll(path, false), row.cr_lines) << testing::Visible(row.bytes);
    EXPECT_EQ(ReadAll(path, true), row.lf_lines) << testing::Visible(row.bytes);
  }
}

TEST(ExtractionLinesTest, JoinsLinesAcrossBlocksAndCutsOverlongOnes) {
  TempDir dir;
  // A CR LF pair split by the end of the first 256 KiB block, and a line
  // that spans blocks.
  std::string first(256 * 1024 - 1, 'x');
  std::string long_line(300 * 1024, 'y');
  std::string path =
      dir.Write("big.txt", first + "\r\n" + long_line + "\r\nend");
  Lines lines = ReadAll(path, false);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], first);
  EXPECT_EQ(lines[1], long_line);
  EXPECT_EQ(lines[2], "end");

  // A line beyond the limit comes in pieces cut after a space.
  std::string words;
  while (words.size() < ExtractionLines::kMaxLineLength + 1000) words += "word ";
  lines = ReadAll(dir.Write("huge.txt", words), true);
  ASSERT_GE(lines.size(), 2u);
  std::string joined;
  for (const std::string& piece : lines) {
    EXPECT_LE(piece.size(), ExtractionLines::kMaxLineLength + 256 * 1024);
    EXPECT_EQ(piece.back(), ' ');
    joined += piece;
  }
  EXPECT_EQ(joined, words);
}

TEST(ExtractionLinesTest, TellsVanishedFilesFromFailures) {
  TempDir dir;
  ExtractionLines reader;
  EXPECT_EQ(Told(reader.Open(dir.Path("gone.txt"), false)), "vanished");
  EXPECT_EQ(Told(reader.Open(dir.MakeDir("folder"), false)), "vanished");
}

}  // namespace
}  // namespace orvane
