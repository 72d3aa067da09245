#include "engine/common/records.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(RecordLineTest, QuotesStringsAndLeavesNumbersBare) {
  EXPECT_EQ(RecordLine().AddNumber(9876).AddString("Company manuals").Finish(),
            "9876,\"Company manuals\"\r\n");
  EXPECT_EQ(RecordLine().AddString("a,b.txt").Finish(), "\"a,b.txt\"\r\n");
  EXPECT_EQ(RecordLine().AddNumber(-3).AddNumber(0).Finish(), "-3,0\r\n");
}

TEST(DelimitedReaderTest, SplitsAtCommasAndLineEndsOutsideQuotes) {
  struct Row {
    const char* text;
    std::vector<std::string> items;
  } rows[] = {
      {"517,\"annual\"\r\n", {"517", "annual"}},
      {"\"a,b.txt\"\r\n\"End of file list\"\r\n", {"a,b.txt", "End of file list"}},
      {"1,\"x\"\n2,\"y\"", {"1", "x", "2", "y"}},  // LF-only and no final end
      {"\"one\r\ntwo\"\r\n0\r\n", {"one\r\ntwo", "0"}},  // item across lines
      {"  12 ,\"t\"junk,3\r\n", {"12", "t", "3"}},  // text after a quote
      {"\"\"\r\n\"\"\r\n", {"", ""}},
      {"\"unclosed", {"unclosed"}},
      {"", {}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(SplitRecord(row.text), row.items) << row.text;
  }
}

TEST(LeadingNumberTest, TakesTheLeadingNumberAndClampsOverflow) {
  bool overflow = false;
  EXPECT_EQ(LeadingNumber("400"), 400);
  EXPECT_EQ(LeadingNumber(" 12abc"), 12);
  EXPECT_EQ(LeadingNumber("-3"), -3);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("-2147483648", &overflow), -2147483647 - 1);
  EXPECT_FALSE(overflow);
  EXPECT_EQ(LeadingNumber("99999999999", &overflow), 2147483647);
  EXPECT_TRUE(overflow);
}

}  // namespace
}  // namespace orvane
