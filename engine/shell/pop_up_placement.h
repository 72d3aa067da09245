// Where a pop-up note goes: at an offset from a reference window's top-left
// corner, or centred on the launcher window. All measures are twips.
#pragma once

#include <cstdint>

namespace orvane {

struct PopUpPlacement {
  std::int32_t top = 0;
  std::int32_t left = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const PopUpPlacement&) const = default;
};

// The note intWidth x intHeight at intTop, intLeft from the reference
// window's corner at form_top, form_left.
PopUpPlacement PlacePopUpInForm(std::int32_t form_top, std::int32_t form_left,
                                std::int16_t intWidth, std::int16_t intHeight,
                                std::int16_t intTop, std::int16_t intLeft);

// The offsets that centre a note on the launcher window: (launcher height -
// intHeight) / 2 and (launcher width - intWidth) / 2, each rounded to a whole
// number with halves going to the even neighbour. A note larger than the
// launcher gets a negative offset.
struct CentreOffsets {
  std::int32_t top = 0;
  std::int32_t left = 0;
  bool operator==(const CentreOffsets&) const = default;
};
CentreOffsets CentreOnLauncher(std::int32_t launcher_height,
                               std::int32_t launcher_width,
                               std::int16_t intWidth, std::int16_t intHeight);

// Half of a whole number, rounded with halves to the even neighbour.
std::int32_t HalfRoundedToEven(std::int32_t value);

}  // namespace orvane
