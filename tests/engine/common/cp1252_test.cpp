#include "engine/common/cp1252.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(Cp1252Test, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::optional<std::string> back = DisplayToContent(ContentToDisplay(all));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, all);
}

TEST(Cp1252Test, ConvertsTheHighControlsAndTheUndefinedBytes) {
  EXPECT_EQ(ContentToDisplay("\x80\x8A\x97\xE9"),
            "\xE2\x82\xAC\xC5\xA0\xE2\x80\x94\xC3\xA9");  // € Š — é
  EXPECT_EQ(ContentToDisplay("\x81"), "\xC2\x81");  // undefined: U+0081
}

TEST(Cp1252Test, RefusesCharactersTheCodePageLacks) {
  EXPECT_FALSE(DisplayToContent("\xD0\xB6").has_value());  // Cyrillic zhe
  EXPECT_FALSE(DisplayToContent("\xC3").has_value());      // cut sequence
  EXPECT_EQ(DisplayToContentLossy("a\xD0\xB6z"), "a?z");
  EXPECT_EQ(DisplayToContent("caf\xC3\xA9"), std::string("caf\xE9"));
}

}  // namespace
}  // namespace orvane
