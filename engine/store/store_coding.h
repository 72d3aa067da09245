// The store file's number codings: little-endian fixed-width numbers,
// varints, bit-packed runs of small numbers, and a reader that never reads
// past the bytes it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace orvane::store {

inline void PutU8(std::string* out, std::uint8_t value) {
  out->push_back(static_cast<char>(value));
}
void PutU32(std::string* out, std::uint32_t value);
void PutU64(std::string* out, std::uint64_t value);
void PutVarint(std::string* out, std::uint64_t value);
// A varint length, then the bytes.
void PutString(std::string* out, std::string_view bytes);

// Stores value at p, little-endian (p must hold 4 or 8 bytes).
void StoreU32(std::uint8_t* p, std::uint32_t value);
void StoreU64(std::uint8_t* p, std::uint64_t value);

// REQUIRES: p holds 4 (8) bytes.
inline std::uint32_t LoadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) |
         static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 |
         static_cast<std::uint32_t>(p[3]) << 24;
}
inline std::uint64_t LoadU64(const std::uint8_t* p) {
  return LoadU32(p) | static_cast<std::uint64_t>(LoadU32(p + 4)) << 32;
}

// Reads numbers and strings from [begin, end). A read that would pass the
// end, or a varint longer than ten bytes or above 64 bits, makes the reader
// fail: it returns false then and at every later read.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* begin, const std::uint8_t* end)
      : at_(begin), end_(end) {}

  bool Varint(std::uint64_t* value);
  // A varint that must not exceed limit.
  bool Varint(std::uint64_t limit, std::uint64_t* value);
  bool Bytes(std::size_t size, const std::uint8_t** bytes);
  // A string written by PutString.
  bool String(std::string_view* text);

  bool ok() const { return ok_; }
  const std::uint8_t* at() const { return at_; }
  std::size_t remaining() const { return static_cast<std::size_t>(end_ - at_); }

 private:
  bool Fail() { return ok_ = false; }

  const std::uint8_t* at_;
  const std::uint8_t* end_;
  bool ok_ = true;
};

// The bytes that count numbers of bits bits each take when packed.
inline std::size_t PackedSize(std::size_t count, unsigned bits) {
  return (count * bits + 7) / 8;
}
// The bits that value needs (0 for 0).
unsigned BitsFor(std::uint32_t value);
// Appends count values of bits bits each (0 to 32), lowest bit first.
// REQUIRES: every value fits in bits.
void PackBits(const std::uint32_t* values, std::size_t count, unsigned bits,
              std::string* out);
// Reads count values of bits bits each from exactly PackedSize(count, bits)
// bytes at in. REQUIRES: bits <= 32.
void UnpackBits(const std::uint8_t* in, std::size_t count, unsigned bits,
                std::uint32_t* values);

}  // namespace orvane::store
