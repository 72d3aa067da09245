// The compression component: the index file is stored as one zstd frame
// (so "zstd -dc" prints the plain index text). Callers follow the order
// _alb; when it gives non-zero, exactly one _cf or _dcf; then _dalb.
#pragma once

#include <cstdint>
#include <string>

namespace orvane::squeez {

// Negative results of _cf and _dcf.
inline constexpr std::int32_t kSourceUnreadable = -1;
inline constexpr std::int32_t kDestinationUnwritable = -2;
inline constexpr std::int32_t kNotCompressedIndex = -3;

// Prepares the work buffers; non-zero when they are ready.
std::int32_t _alb();
// Releases the work buffers.
void _dalb();

// Compresses source into destination. With replace, the compressed file then
// takes the place of source (destination is the temporary file, renamed
// over source). Returns 0 or more on success, a negative code on failure;
// on failure source is unchanged and no temporary file is left.
std::int32_t _cf(const std::string& source, const std::string& destination,
                 bool replace);

// Decompresses source into destination (the plain text, byte for byte as
// it was compressed). With replace, the plain file takes the place of
// source. Returns 0 or more on success, a negative code on failure (damaged
// or truncated data gives kNotCompressedIndex); on failure no partial
// destination is left.
std::int32_t _dcf(const std::string& source, const std::string& destination,
                  bool replace);

}  // namespace orvane::squeez
