#include "engine/common/common_values.h"

namespace OV_common {

namespace {

constexpr std::uint32_t kWindowColourValue = 0xEEC0DC;  // 0x00BBGGRR

std::string MakeVersionText() {
  return std::to_string(kMajorVersion) + "." + std::to_string(kMinorVersion) +
         "1";
}

}  // namespace

void InitCommonValues() { (void)VersionText(); }

const std::string& VersionText() {
  static const std::string text = MakeVersionText();
  return text;
}

std::int32_t IndexFormatNumber() {
  // The version text has one digit after the major version's point for the
  // minor version and the digit 1, so times 100 is exact in integers.
  return kMajorVersion * 100 + kMinorVersion * 10 + 1;
}

std::uint32_t WindowColourValue() { return kWindowColourValue; }

Rgb WindowColour() {
  return Rgb{static_cast<int>(kWindowColourValue & 0xFF),
             static_cast<int>((kWindowColourValue >> 8) & 0xFF),
             static_cast<int>((kWindowColourValue >> 16) & 0xFF)};
}

}  // namespace OV_common
