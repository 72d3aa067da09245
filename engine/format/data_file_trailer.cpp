#include "engine/format/data_file_trailer.h"

namespace orvane {

void EncodeTrailer(std::int64_t text_length, std::uint8_t bytes[kTrailerSize]) {
  auto value =
      static_cast<std::uint32_t>(static_cast<std::int32_t>(text_length));
  for (std::size_t i = 0; i < kTrailerSize; ++i) {
    bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

std::int32_t DecodeTrailer(const std::uint8_t bytes[kTrailerSize]) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) |
                                   static_cast<std::uint32_t>(bytes[1]) << 8 |
                                   static_cast<std::uint32_t>(bytes[2]) << 16 |
                                   static_cast<std::uint32_t>(bytes[3]) << 24);
}

}  // namespace orvane
