#include "engine/shell/pop_up_placement.h"

namespace orvane {

PopUpPlacement PlacePopUpInForm(std::int32_t form_top, std::int32_t form_left,
                                std::int16_t intWidth, std::int16_t intHeight,
                                std::int16_t intTop, std::int16_t intLeft) {
  return PopUpPlacement{form_top + intTop, form_left + intLeft, intWidth,
                        intHeight};
}

std::int32_t HalfRoundedToEven(std::int32_t value) {
  std::int32_t half = value / 2;  // truncated towards zero
  if (value % 2 == 0) return half;
  // value / 2 lies halfway between half and its neighbour away from zero;
  // keep whichever of the two is even.
  std::int32_t other = value > 0 ? half + 1 : half - 1;
  return half % 2 == 0 ? half : other;
}

CentreOffsets CentreOnLauncher(std::int32_t launcher_height,
                               std::int32_t launcher_width,
                               std::int16_t intWidth, std::int16_t intHeight) {
  return CentreOffsets{HalfRoundedToEven(launcher_height - intHeight),
                       HalfRoundedToEven(launcher_width - intWidth)};
}

}  // namespace orvane
