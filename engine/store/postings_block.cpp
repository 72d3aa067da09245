#include "engine/store/postings_block.h"

#include <algorithm>

#include "engine/store/store_coding.h"
#include "engine/store/store_format.h"

namespace orvane::store {

namespace {

void EncodeBlock(const std::uint32_t* files, const std::uint8_t* scores,
                 std::size_t count, std::int64_t previous, std::string* out) {
  std::uint32_t gaps[kPostingsPerBlock];
  std::uint32_t values[kPostingsPerBlock];
  std::uint32_t largest_gap = 0;
  std::uint32_t largest_value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    gaps[i] = static_cast<std::uint32_t>(files[i] - previous - 1);
    previous = files[i];
    values[i] = scores[i] - 1u;
    largest_gap = std::max(largest_gap, gaps[i]);
    largest_value = std::max(largest_value, values[i]);
  }
  unsigned gap_bits = BitsFor(largest_gap);
  unsigned score_bits = BitsFor(largest_value);
  PutU8(out, static_cast<std::uint8_t>(gap_bits));
  PutU8(out, static_cast<std::uint8_t>(score_bits));
  PackBits(gaps, count, gap_bits, out);
  PackBits(values, count, score_bits, out);
}

}  // namespace

void EncodePostingsList(const std::uint32_t* files, const std::uint8_t* scores,
                        std::size_t count, std::string* out) {
  PutVarint(out, count);
  std::size_t blocks = BlocksOf(count, kPostingsPerBlock);
  if (blocks <= 1) {
    if (count > 0) EncodeBlock(files, scores, count, -1, out);
    return;
  }
  // The skip entries go before the blocks, so the blocks are encoded
  // first, behind them.
  std::size_t skip_at = out->size();
  out->append(blocks * kSkipEntrySize, '\0');
  std::size_t blocks_at = out->size();
  std::int64_t previous = -1;
  for (std::size_t b = 0; b < blocks; ++b) {
    std::size_t first = b * kPostingsPerBlock;
    std::size_t in_block = std::min<std::size_t>(kPostingsPerBlock, count - first);
    EncodeBlock(files + first, scores + first, in_block, previous, out);
    previous = files[first + in_block - 1];
    auto* entry = reinterpret_cast<std::uint8_t*>(out->data()) + skip_at +
                  b * kSkipEntrySize;
    StoreU32(entry, static_cast<std::uint32_t>(previous));
    StoreU32(entry + 4, static_cast<std::uint32_t>(out->size() - blocks_at));
  }
}

bool DecodePostingsBlock(const std::uint8_t* data, std::size_t size,
                         std::size_t count, std::int64_t previous,
                         std::uint32_t* files, std::uint8_t* scores) {
  if (size < 2) return false;
  unsigned gap_bits = data[0];
  unsigned score_bits = data[1];
  if (gap_bits > 32 || score_bits > 8) return false;
  std::size_t gaps_size = PackedSize(count, gap_bits);
  if (size != 2 + gaps_size + PackedSize(count, score_bits)) return false;
  std::uint32_t values[kPostingsPerBlock];
  UnpackBits(data + 2, count, gap_bits, values);
  for (std::size_t i = 0; i < count; ++i) {
    previous += static_cast<std::int64_t>(values[i]) + 1;
    if (previous > UINT32_MAX) return false;
    files[i] = static_cast<std::uint32_t>(previous);
  }
  UnpackBits(data + 2 + gaps_size, count, score_bits, values);
  for (std::size_t i = 0; i < count; ++i) {
    if (values[i] > 254) return false;
    scores[i] = static_cast<std::uint8_t>(values[i] + 1);
  }
  return true;
}

}  // namespace orvane::store
