// The data file beside an index file: for every word number r one row of
// one byte per indexed file, at byte (r - 1) × files, then a 32-bit
// little-endian trailer holding the length of the index's plain text, by
// which a reader tells whether the data file belongs to its index.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvane {

inline constexpr std::size_t kTrailerSize = 4;

// The trailer's bytes for a plain text of text_length bytes (its low 32
// bits, little-endian).
void EncodeTrailer(std::int64_t text_length, std::uint8_t bytes[kTrailerSize]);

// The length a trailer records, as a signed 32-bit number.
std::int32_t DecodeTrailer(const std::uint8_t bytes[kTrailerSize]);

}  // namespace orvane
