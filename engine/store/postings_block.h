// A word's postings list in the store file: its files (ascending file
// indexes) and scores, as a count, skip entries and bit-packed blocks of
// kPostingsPerBlock postings (store_format.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvane::store {

// Appends the list of count postings.
// REQUIRES: files ascend strictly; every score is 1 to 255.
void EncodePostingsList(const std::uint32_t* files, const std::uint8_t* scores,
                        std::size_t count, std::string* out);

// The blocks of a list of count postings.
inline std::uint64_t BlocksOf(std::uint64_t count, std::uint32_t per_block) {
  return count / per_block + (count % per_block != 0 ? 1 : 0);
}

// Decodes one block of count postings (1 to kPostingsPerBlock) that must
// take exactly size bytes; previous is the file index before the block (-1
// at the start of the list). False when the bytes are no such block: sizes
// that disagree, more than 32 bits a gap or 8 a score, a score above 255
// or a file index beyond 32 bits.
bool DecodePostingsBlock(const std::uint8_t* data, std::size_t size,
                         std::size_t count, std::int64_t previous,
                         std::uint32_t* files, std::uint8_t* scores);

}  // namespace orvane::store
