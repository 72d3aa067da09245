#include "engine/format/data_file_trailer.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(DataFileTrailerTest, ReadsBackTheLengthItRecords) {
  for (std::int64_t length :
       {0LL, 1LL, 255LL, 256LL, 0x12345678LL, 2147483647LL}) {
    std::uint8_t bytes[kTrailerSize];
    EncodeTrailer(length, bytes);
    EXPECT_EQ(DecodeTrailer(bytes), length);
  }
  std::uint8_t bytes[kTrailerSize];
  EncodeTrailer(0x01020304, bytes);  // little-endian
  EXPECT_EQ(bytes[0], 4);
  EXPECT_EQ(bytes[3], 1);
}

}  // namespace
}  // namespace orvane
