// Window measures: the windows' placements and sizes are given in twips, and
// 15 twips make one pixel.
#pragma once

#include <cstdint>

namespace orvane {

inline constexpr int kTwipsPerPixel = 15;

// Pixels of a twip measure, rounded to the nearest pixel; equal offsets
// either side of a point stay equal.
constexpr int TwipsToPixels(std::int32_t twips) {
  return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                    : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr std::int32_t PixelsToTwips(int pixels) {
  return static_cast<std::int32_t>(pixels) * kTwipsPerPixel;
}

}  // namespace orvane
