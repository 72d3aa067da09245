// The hash that the lexicon and the common-word list file words under, so
// that word extraction computes it once per word for both.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace orvane {

// A fast hash for short words, eight bytes at a time.
inline std::uint32_t HashWord(std::string_view word) {
  const char* p = word.data();
  const std::size_t n = word.size();
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t v;
    std::memcpy(&v, p + i, 8);
    h = (h ^ v) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 32;
  }
  std::uint64_t tail = 0;
  for (std::size_t k = 0; i + k < n; ++k) {
    tail |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i + k]))
            << (8 * k);
  }
  h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 29;
  h *= 0x9E3779B97F4A7C15ull;
  return static_cast<std::uint32_t>(h >> 32);
}

}  // namespace orvane
