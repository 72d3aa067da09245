#include "engine/text/binary_search.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(BinarySearchTest, FindsEveryElementAndEveryInsertionPoint) {
  const std::vector<std::string> list = {"b", "d", "f", "h", "j"};
  struct Row {
    const char* key;
    bool found;
    std::int32_t position;
  } rows[] = {
      {"a", false, -1},  {"b", true, 1},    {"c", false, -2}, {"d", true, 2},
      {"e", false, -3},  {"f", true, 3},    {"g", false, -4}, {"h", true, 4},
      {"i", false, -5},  {"j", true, 5},    {"k", false, -6}, {"", false, -1},
      {"bb", false, -2}, {"j!", false, -6},
  };
  for (const Row& row : rows) {
    std::int32_t position = 0;
    EXPECT_EQ(FindInList(row.key, list, 5, 1, &position), row.found) << row.key;
    EXPECT_EQ(position, row.position) << row.key;
  }
}

TEST(BinarySearchTest, SmallCounts) {
  const std::vector<std::string> list = {"b", "d", "f"};
  struct Row {
    std::int32_t n;
    const char* key;
    bool found;
    std::int32_t position;
  } rows[] = {
      {0, "b", false, -1},
      {1, "b", true, 1},
      {1, "a", false, -1},
      {1, "c", false, -2},
      {2, "c", false, -2},
      {2, "d", true, 2},
      {2, "e", false, -3},
      // Only the first n elements count.
      {2, "f", false, -3},
      // A count beyond the list searches the list.
      {9, "f", true, 3},
      {9, "z", false, -4},
  };
  for (const Row& row : rows) {
    std::int32_t position = 0;
    EXPECT_EQ(FindInList(row.key, list, row.n, 1, &position), row.found)
        << row.n << " " << row.key;
    EXPECT_EQ(position, row.position) << row.n << " " << row.key;
  }
  std::int32_t position = 0;
  EXPECT_FALSE(FindInList("a", {}, 0, 1, &position));
  EXPECT_EQ(position, -1);
}

TEST(BinarySearchTest, ComparesUnsignedBytesFromTheKeyColumn) {
  // In character-code order é (233) comes after z and É (201) before é.
  const std::vector<std::string> list = {"Zebra", "apple", "zebra", "\xE9lan"};
  std::int32_t position = 0;
  EXPECT_TRUE(FindInList("\xE9lan", list, 4, 1, &position));
  EXPECT_EQ(position, 4);
  EXPECT_FALSE(FindInList("\xC9lan", list, 4, 1, &position));
  EXPECT_EQ(position, -4);

  const std::vector<std::string> keyed = {"9 apple", "1 berry", "5 melon"};
  EXPECT_TRUE(FindInList("berry", keyed, 3, 3, &position));
  EXPECT_EQ(position, 2);
  EXPECT_FALSE(FindInList("cherry", keyed, 3, 3, &position));
  EXPECT_EQ(position, -3);
}

}  // namespace
}  // namespace orvane
