// File text as the characters it holds. Content stays one Windows-1252
// byte a character; what changes is how file bytes become content: a
// well-formed UTF-8 sequence becomes the character of its code point, and a
// file that begins with a UTF-16 byte-order mark is read as UTF-16. A code
// point becomes the content character that typed text gives for it
// (CodePointToCp1252), a byte-order mark (U+FEFF) becomes nothing, and any
// other code point becomes "?". What cannot be decoded stays as its bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvane {

// True when some byte of 0xC2 or above is followed by one of 0x80 to 0xBF,
// as in every UTF-8 multi-byte sequence: only such a text has anything that
// ReplaceUtf8Punctuation or DecodeUtf8Sequences change. Windows-1252 text
// seldom has (an accented letter is followed by a letter or a blank), so
// most of it is passed over at the cost of this scan.
bool MayHoldUtf8(std::string_view text);

// Replaces, in place, every well-formed UTF-8 multi-byte sequence of text
// (2 to 4 bytes, shortest form, no surrogate, at most U+10FFFF) by the
// content character of its code point as above. Every other byte stays, so
// Windows-1252 text without such sequences is left as it is. The text never
// grows.
void DecodeUtf8Sequences(std::string& text);

// What the readers apply to file text that is not UTF-16: the nine
// typographic sequences of ReplaceUtf8Punctuation made plain, then
// DecodeUtf8Sequences.
void DecodeUtf8Text(std::string& text);

// The byte order that the first bytes of a file announce.
enum class Utf16Order { kNone, kLittleEndian, kBigEndian };

// kLittleEndian for FF FE, kBigEndian for FE FF, kNone for anything else
// (also for fewer than two bytes).
Utf16Order Utf16Mark(std::string_view first_bytes);

// Turns the bytes of a UTF-16 file into content, block by block: each code
// unit, or surrogate pair, becomes the content character of its code point
// (the mark itself, U+FEFF, becomes nothing). An unpaired surrogate is read
// as its two bytes, in file order. A block may end anywhere: an odd byte or
// a leading surrogate at its end waits for the next block.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(Utf16Order order = Utf16Order::kLittleEndian)
      : big_endian_(order == Utf16Order::kBigEndian) {}

  // Appends the content of the next bytes of the file to *out.
  void Decode(std::string_view bytes, std::string* out);
  // The end of the file: an odd last byte is read as that byte, and a
  // leading surrogate still waiting as its two bytes.
  void Finish(std::string* out);

 private:
  void AppendUnit(unsigned unit, unsigned char first, unsigned char second,
                  std::string* out);

  bool big_endian_;
  // A byte of a code unit whose second byte is still to come.
  bool has_odd_byte_ = false;
  unsigned char odd_byte_ = 0;
  // A leading surrogate whose partner is still to come, with its bytes.
  bool has_lead_ = false;
  unsigned lead_ = 0;
  unsigned char lead_bytes_[2] = {0, 0};
};

}  // namespace orvane
