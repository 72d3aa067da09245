#include "engine/store/store_coding.h"

#include <bit>

namespace orvane::store {

void PutU32(std::string* out, std::uint32_t value) {
  std::uint8_t bytes[4];
  StoreU32(bytes, value);
  out->append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void PutU64(std::string* out, std::uint64_t value) {
  std::uint8_t bytes[8];
  StoreU64(bytes, value);
  out->append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void PutVarint(std::string* out, std::uint64_t value) {
  while (value >= 0x80) {
    out->push_back(static_cast<char>((value & 0x7F) | 0x80));
    value >>= 7;
  }
  out->push_back(static_cast<char>(value));
}

void PutString(std::string* out, std::string_view bytes) {
  PutVarint(out, bytes.size());
  out->append(bytes);
}

void StoreU32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void StoreU64(std::uint8_t* p, std::uint64_t value) {
  StoreU32(p, static_cast<std::uint32_t>(value));
  StoreU32(p + 4, static_cast<std::uint32_t>(value >> 32));
}

bool ByteReader::Varint(std::uint64_t* value) {
  std::uint64_t result = 0;
  for (unsigned shift = 0; shift < 64; shift += 7) {
    if (!ok_ || at_ == end_) return Fail();
    std::uint8_t byte = *at_++;
    // The tenth byte may hold only the 64th bit.
    if (shift == 63 && byte > 1) return Fail();
    result |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) {
      *value = result;
      return true;
    }
  }
  return Fail();
}

bool ByteReader::Varint(std::uint64_t limit, std::uint64_t* value) {
  if (!Varint(value)) return false;
  return *value <= limit || Fail();
}

bool ByteReader::Bytes(std::size_t size, const std::uint8_t** bytes) {
  if (!ok_ || size > remaining()) return Fail();
  *bytes = at_;
  at_ += size;
  return true;
}

bool ByteReader::String(std::string_view* text) {
  std::uint64_t size = 0;
  const std::uint8_t* bytes = nullptr;
  if (!Varint(remaining(), &size) || !Bytes(size, &bytes)) return false;
  *text = std::string_view(reinterpret_cast<const char*>(bytes), size);
  return true;
}

unsigned BitsFor(std::uint32_t value) {
  return static_cast<unsigned>(std::bit_width(value));
}

void PackBits(const std::uint32_t* values, std::size_t count, unsigned bits,
              std::string* out) {
  std::uint64_t pending = 0;
  unsigned held = 0;
  for (std::size_t i = 0; i < count; ++i) {
    pending |= static_cast<std::uint64_t>(values[i]) << held;
    held += bits;
    while (held >= 8) {
      out->push_back(static_cast<char>(pending & 0xFF));
      pending >>= 8;
      held -= 8;
    }
  }
  if (held > 0) out->push_back(static_cast<char>(pending & 0xFF));
}

void UnpackBits(const std::uint8_t* in, std::size_t count, unsigned bits,
                std::uint32_t* values) {
  const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
  std::uint64_t pending = 0;
  unsigned held = 0;
  for (std::size_t i = 0; i < count; ++i) {
    while (held < bits) {
      pending |= static_cast<std::uint64_t>(*in++) << held;
      held += 8;
    }
    values[i] = static_cast<std::uint32_t>(pending & mask);
    pending >>= bits;
    held -= bits;
  }
}

}  // namespace orvane::store
