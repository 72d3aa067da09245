#include "engine/format/count_line.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace orvane {
namespace {

std::string CountLine(const std::vector<int>& scores) {
  std::vector<std::uint32_t> files;
  std::vector<std::uint8_t> values;
  for (std::size_t i = 0; i < scores.size(); ++i) {
    if (scores[i] == 0) continue;
    files.push_back(static_cast<std::uint32_t>(i));
    values.push_back(static_cast<std::uint8_t>(scores[i]));
  }
  const auto num_files = static_cast<std::uint32_t>(scores.size());
  // One byte more than the bound: a line that overran it shows.
  std::string line(MostCountLineCharacters(files.size(), num_files) + 1, '#');
  char* end = WriteCountLine(files.data(), values.data(), files.size(),
                             num_files, line.data());
  EXPECT_EQ(line.back(), '#');
  line.resize(static_cast<std::size_t>(end - line.data()));
  return line;
}

// The scores of a count line as the reader expands them, or the damage.
std::vector<int> Expanded(std::string_view line, std::uint32_t files,
                          std::string* error) {
  std::vector<int> scores(files, 0);
  *error = WalkCountLine(line, files, 7, [&](std::uint32_t p, std::uint8_t s) {
    scores[p] = s;
  });
  return scores;
}

TEST(CountLineTest, CodesRunsOfZerosAndScores) {
  struct Row {
    std::vector<int> scores;
    std::string line;
  } rows[] = {
      {{0, 0, 0, 255, 0, 85}, "-3,255,0,85"},
      {{0}, "0"},
      {{7}, "7"},
      {{0, 0, 0, 0}, "-4"},
      {{1, 0, 0}, "1,-2"},
      {{0, 9}, "0,9"},
      {{255, 255, 0, 255}, "255,255,0,255"},
  };
  for (const Row& row : rows) EXPECT_EQ(CountLine(row.scores), row.line);
}

TEST(CountLineTest, ReadsBackWhatItWrites) {
  std::mt19937 random(9);
  for (int trial = 0; trial < 200; ++trial) {
    const std::uint32_t files = 1 + random() % 3000;
    // Sparse rows and dense ones, runs of every length.
    const unsigned density = 1 + random() % 50;
    std::vector<int> scores(files, 0);
    for (int& s : scores) {
      if (random() % density == 0) s = 1 + static_cast<int>(random() % 255);
    }
    // The index text quotes the line: its one item.
    std::string line = "\"" + CountLine(scores) + "\"";
    std::string error;
    EXPECT_EQ(Expanded(line, files, &error), scores) << line;
    EXPECT_EQ(error, "");
  }
}

TEST(CountLineTest, ReadingRefusesALineThatBreaksTheFormat) {
  struct Row {
    std::string line;
    std::string error;
  } rows[] = {
      {"\"1,-3\"",
       "The index file is damaged: the count line of word number "
       "7 holds more than 3 scores."},
      {"\"1,1,1,1\"",
       "The index file is damaged: the count line of word "
       "number 7 holds more than 3 scores."},
      {"\"-2\"",
       "The index file is damaged: the count line of word number "
       "7 holds fewer than 3 scores."},
      {"\"0,256,0\"",
       "The index file is damaged: the count line of word "
       "number 7 holds the score 256."},
  };
  for (const Row& row : rows) {
    std::string error;
    Expanded(row.line, 3, &error);
    EXPECT_EQ(error, row.error) << row.line;
  }
}

}  // namespace
}  // namespace orvane
