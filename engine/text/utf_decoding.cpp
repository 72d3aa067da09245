#include "engine/text/utf_decoding.h"

#include <cstdint>
#include <cstring>

#include "engine/common/cp1252.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

constexpr char32_t kByteOrderMark = 0xFEFF;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// The content character of a code point: its Windows-1252 byte, or "?"
// when the code page lacks it; -1 for a byte-order mark, which becomes
// nothing.
inline int ContentOf(char32_t code_point) {
  if (code_point == kByteOrderMark) return -1;
  int byte = CodePointToCp1252(code_point);
  return byte < 0 ? '?' : byte;
}

inline void AppendCodePoint(char32_t code_point, std::string* out) {
  int c = ContentOf(code_point);
  if (c >= 0) out->push_back(static_cast<char>(c));
}

}  // namespace

bool MayHoldUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  auto begins_sequence = [&](std::size_t k) {
    return p[k] >= 0xC2 && k + 1 < n && (p[k + 1] & 0xC0) == 0x80;
  };
  std::size_t i = 0;
  // Eight ASCII bytes at a time.
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    if ((w & kHighBits) == 0) continue;
    for (std::size_t k = i; k < i + 8; ++k) {
      if (begins_sequence(k)) return true;
    }
  }
  for (; i < n; ++i) {
    if (begins_sequence(i)) return true;
  }
  return false;
}

void DecodeUtf8Sequences(std::string& text) {
  // A multi-byte sequence begins with C2 or above; everything before the
  // first such byte stays where it is.
  std::size_t read = 0;
  const std::size_t n = text.size();
  for (; read + 8 <= n; read += 8) {
    std::uint64_t w;
    std::memcpy(&w, text.data() + read, 8);
    if (w & kHighBits) break;
  }
  while (read < n && static_cast<unsigned char>(text[read]) < 0xC2) ++read;
  if (read == n) return;
  std::size_t write = read;
  while (read < n) {
    const auto byte = static_cast<unsigned char>(text[read]);
    if (byte < 0xC2) {
      text[write++] = text[read++];
      continue;
    }
    std::size_t at = read;
    long code_point = DecodeUtf8At(text, &at);
    if (code_point < 0) {
      text[write++] = text[read++];
      continue;
    }
    // Every sequence is two bytes or more and gives at most one character:
    // the text written never overtakes the text read.
    int c = ContentOf(static_cast<char32_t>(code_point));
    if (c >= 0) text[write++] = static_cast<char>(c);
    read = at;
  }
  text.resize(write);
}

void DecodeUtf8Text(std::string& text) {
  ReplaceUtf8Punctuation(text);
  DecodeUtf8Sequences(text);
}

Utf16Order Utf16Mark(std::string_view first_bytes) {
  if (first_bytes.size() < 2) return Utf16Order::kNone;
  const auto b0 = static_cast<unsigned char>(first_bytes[0]);
  const auto b1 = static_cast<unsigned char>(first_bytes[1]);
  if (b0 == 0xFF && b1 == 0xFE) return Utf16Order::kLittleEndian;
  if (b0 == 0xFE && b1 == 0xFF) return Utf16Order::kBigEndian;
  return Utf16Order::kNone;
}

void Utf16Decoder::AppendUnit(unsigned unit, unsigned char first,
                              unsigned char second, std::string* out) {
  const bool leading = unit >= 0xD800 && unit <= 0xDBFF;
  const bool trailing = unit >= 0xDC00 && unit <= 0xDFFF;
  if (has_lead_) {
    has_lead_ = false;
    if (trailing) {
      char32_t code_point =
          0x10000 + ((lead_ - 0xD800) << 10) + (unit - 0xDC00);
      AppendCodePoint(code_point, out);
      return;
    }
    // The leading surrogate had no partner.
    out->push_back(static_cast<char>(lead_bytes_[0]));
    out->push_back(static_cast<char>(lead_bytes_[1]));
  }
  if (leading) {
    has_lead_ = true;
    lead_ = unit;
    lead_bytes_[0] = first;
    lead_bytes_[1] = second;
  } else if (trailing) {
    out->push_back(static_cast<char>(first));
    out->push_back(static_cast<char>(second));
  } else {
    AppendCodePoint(static_cast<char32_t>(unit), out);
  }
}

void Utf16Decoder::Decode(std::string_view bytes, std::string* out) {
  std::size_t i = 0;
  if (has_odd_byte_ && !bytes.empty()) {
    has_odd_byte_ = false;
    const auto second = static_cast<unsigned char>(bytes[0]);
    unsigned unit =
        big_endian_ ? (odd_byte_ << 8) | second : (second << 8) | odd_byte_;
    AppendUnit(unit, odd_byte_, second, out);
    i = 1;
  }
  out->reserve(out->size() + (bytes.size() - i) / 2);
  for (; i + 2 <= bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    unsigned unit = big_endian_ ? (first << 8) | second : (second << 8) | first;
    // Most units of a text are ASCII or Latin-1 and no surrogate is waiting.
    if (unit < 0x80 && !has_lead_) {
      out->push_back(static_cast<char>(unit));
    } else {
      AppendUnit(unit, first, second, out);
    }
  }
  if (i < bytes.size()) {
    has_odd_byte_ = true;
    odd_byte_ = static_cast<unsigned char>(bytes[i]);
  }
}

void Utf16Decoder::Finish(std::string* out) {
  if (has_lead_) {
    has_lead_ = false;
    out->push_back(static_cast<char>(lead_bytes_[0]));
    out->push_back(static_cast<char>(lead_bytes_[1]));
  }
  if (has_odd_byte_) {
    has_odd_byte_ = false;
    out->push_back(static_cast<char>(odd_byte_));
  }
}

}  // namespace orvane
