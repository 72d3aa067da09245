#include "engine/shell/pop_up_placement.h"

#include <gtest/gtest.h>

#include "engine/shell/twips.h"

namespace orvane {
namespace {

TEST(PopUpPlacementTest, HalvesRoundToTheEvenNeighbour) {
  struct Row {
    std::int32_t value;
    std::int32_t half;
  } rows[] = {{0, 0},      {100, 50},   {101, 50},    {103, 52},
              {1, 0},      {3, 2},      {-1, 0},      {-3, -2},
              {-101, -50}, {-103, -52}, {-1500, -750}};
  for (const Row& row : rows) {
    EXPECT_EQ(HalfRoundedToEven(row.value), row.half) << row.value;
  }
}

TEST(PopUpPlacementTest, PlacesRelativeToTheReferenceWindow) {
  EXPECT_EQ(PlacePopUpInForm(1500, 3000, 2000, 380, 750, 120),
            (PopUpPlacement{2250, 3120, 2000, 380}));
  // Centred on a launcher 5,401 high and 4,500 wide: a note wider than the
  // launcher starts left of its left edge.
  EXPECT_EQ(CentreOnLauncher(5401, 4500, 6000, 380),
            (CentreOffsets{2510, -750}));
  EXPECT_EQ(CentreOnLauncher(5400, 7000, 2000, 381),
            (CentreOffsets{2510, 2500}));
}

TEST(TwipsTest, RoundsToTheNearestPixel) {
  struct Row {
    std::int32_t twips;
    int pixels;
  } rows[] = {{0, 0},      {7, 0},      {8, 1},      {15, 1}, {2000, 133},
              {2500, 167}, {3500, 233}, {-750, -50}, {-7, 0}, {-8, -1}};
  for (const Row& row : rows) {
    EXPECT_EQ(TwipsToPixels(row.twips), row.pixels) << row.twips;
  }
}

}  // namespace
}  // namespace orvane
