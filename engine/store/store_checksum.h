// The checksums of the store file: Checksum64 (XXH3, 64 bits, seed 0) of
// the header and of each section's page checksums, and the 32-bit checksum
// of each page.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvane::store {

std::uint64_t Checksum64(const void* data, std::size_t size);

// The checksum of one page of a section: the low 32 bits of Checksum64.
inline std::uint32_t PageChecksum(const void* data, std::size_t size) {
  return static_cast<std::uint32_t>(Checksum64(data, size));
}

// The pages of a section of length bytes.
inline std::uint64_t PagesOf(std::uint64_t length, std::uint32_t page_size) {
  return length / page_size + (length % page_size != 0 ? 1 : 0);
}

}  // namespace orvane::store
