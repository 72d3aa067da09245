#include "engine/text/number_text.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

constexpr double kMB = 1048576.0;
constexpr double kGB = 1073741824.0;

TEST(FormatNumberTest, GroupsAndRoundsHalvesAwayFromZero) {
  EXPECT_EQ(FormatNumber(1234567.891, 2), "1,234,567.89");
  EXPECT_EQ(FormatNumber(2.5, 0), "3");
  EXPECT_EQ(FormatNumber(-2.5, 0), "-3");
  EXPECT_EQ(FormatNumber(-0.4, 0), "0");
  EXPECT_EQ(FormatNumber(2.675, 2), "2.68");  // as written, not as stored
  EXPECT_EQ(FormatNumber(999.995, 2), "1,000.00");
  EXPECT_EQ(FormatNumber(1234567.5, 1, {".", ","}), "1.234.567,5");
}

TEST(FormatByteSizeTest, WritesBytesThenTheUnitOfTheSize) {
  struct Row {
    double size;
    std::int16_t decimals;
    const char* text;
    const char* with_gb;
  } rows[] = {
      {0, 2, "0 bytes", "0 bytes"},
      {1023, 2, "1023 bytes", "1023 bytes"},
      {1280, 1, "1.3 KB", "1.3 KB"},
      {1536, 0, "2 KB", "2 KB"},
      {1048575, 0, "1,024 KB", "1,024 KB"},
      {5 * kMB, 0, "5 MB", "5 MB"},
      {1234567, 2, "1.18 MB", "1.18 MB"},
      {kGB - 1, 2, "1,024.00 MB", "1,024.00 MB"},
      {kGB, 0, "1,024 MB", "1 GB"},
      {1.5 * kGB, 1, "1,536.0 MB", "1.5 GB"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FormatByteSize(row.size, row.decimals), row.text) << row.size;
    EXPECT_EQ(FormatByteSizeWithGB(row.size, row.decimals), row.with_gb)
        << row.size;
  }
  EXPECT_EQ(FormatByteSize(-1, 0), "");
  EXPECT_EQ(FormatByteSize(1536, 1, {".", ","}), "1,5 KB");
}

TEST(FormatKilobytesTest, RoundsUpToWholeKilobytes) {
  EXPECT_EQ(FormatKilobytes(0), "0 KB");
  EXPECT_EQ(FormatKilobytes(1025), "2 KB");
  EXPECT_EQ(FormatKilobytes(2048), "2 KB");
  EXPECT_EQ(FormatKilobytes(1048577), "1,025 KB");
}

TEST(NumberToWordsTest, SpellsCountsBelowOneHundred) {
  struct Row {
    std::int32_t n;
    const char* text;
  } rows[] = {{0, "No"},       {20, "Twenty"},      {21, "Twenty one"},
              {30, "Thirty"},  {99, "Ninety nine"}, {100, "100"},
              {1500, "1,500"}, {-3, "-3"}};
  for (const Row& row : rows) EXPECT_EQ(NumberToWords(row.n), row.text);
}

TEST(FormatElapsedTimeTest, WritesSecondsThenTheTwoLargestUnits) {
  struct Row {
    float seconds;
    const char* text;
  } rows[] = {
      {1, "1 second"},
      {1.2f, "1.2 seconds"},  // tenths under a minute
      {0.04f, "0.0 seconds"},
      {0.25f, "0.3 seconds"},  // halves away from zero
      {59.9f, "59.9 seconds"},
      {59.96f, "1 minute"},  // would read 60.0 seconds
      {61, "1 minute and 1 second"},
      {90.5f, "1 minute and 30 seconds"},  // whole seconds: halves to even
      {3725, "1 hour and 2 minutes"},      // the 5 seconds are a third unit
      {90061, "1 day and 1 hour"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FormatElapsedTime(row.seconds), row.text) << row.seconds;
  }
}

TEST(FormatDurationTest, WritesLongAndShortForms) {
  struct Row {
    std::int32_t seconds;
    bool long_form;
    bool round;
    const char* text;
  } rows[] = {
      {59, true, false, "59 seconds"},
      {59, false, false, "59s"},
      {61, true, false, "1 minute and 1 second"},
      {61, false, false, "1m 1s"},
      {3661, true, false, "1 hour and 1 minute"},
      {3725, false, false, "1h 2m 5s"},
      // Rounded to minutes, halves to even.
      {30, true, true, "30 seconds"},
      {89, true, true, "1 minute"},
      {90, true, true, "2 minutes"},
      {150, true, true, "2 minutes"},
      {3725, false, true, "1h 2m"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FormatDuration(row.seconds, row.long_form, row.round), row.text)
        << row.seconds;
  }
}

TEST(FormatMinutesTest, WritesDaysHoursAndMinutes) {
  struct Row {
    std::int32_t minutes;
    bool long_form;
    const char* text;
  } rows[] = {
      {0, true, "0 minutes"},
      {0, false, "0m"},
      {61, true, "1 hour and 1 minute"},
      {1441, true, "1 day and 1 minute"},
      {1441, false, "1d 1m"},
      {1501, true, "1 day and 1 hour"},  // the minute is a third unit
      {2880, true, "2 days"},
      {3064, false, "2d 3h 4m"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FormatMinutes(row.minutes, row.long_form), row.text)
        << row.minutes;
  }
}

}  // namespace
}  // namespace orvane
