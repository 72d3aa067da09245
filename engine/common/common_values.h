// The values every window shares: the program's version text and the one
// window colour. InitCommonValues sets them once at start-up; they are
// read-only afterwards.
#pragma once

#include <cstdint>
#include <string>

namespace OV_common {

inline constexpr int kMajorVersion = 1;
inline constexpr int kMinorVersion = 0;

// The licence, as --version tells it after the version.
inline constexpr const char* kLicenceText =
    "License GPL-3.0-or-later: GNU GPL version 3 or later "
    "<https://www.gnu.org/licenses/gpl.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

// Red, green and blue of a colour.
struct Rgb {
  int red;
  int green;
  int blue;
  bool operator==(const Rgb&) const = default;
};

// Sets the version text and the window colour. Called once by the launcher
// after the numbered UI texts are loaded; calling it again changes nothing.
void InitCommonValues();

// The major version, ".", the minor version and the digit 1: "1.01".
const std::string& VersionText();

// The version text read as a decimal number times 100 (101): the format
// number written into every index file.
std::int32_t IndexFormatNumber();

// The window colour as the platform stored it, 0x00BBGGRR: 0xEEC0DC.
std::uint32_t WindowColourValue();
// The same colour as red 220, green 192, blue 238.
Rgb WindowColour();

}  // namespace OV_common
