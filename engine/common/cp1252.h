// The three kinds of strings and the conversions between them.
//
//   content  Windows-1252 bytes, one byte a character: file contents, words,
//            titles, extracts, the index text. Every character table, case
//            fold and entity operation works on these bytes.
//   path     the file system's bytes, used as found; never case-folded for
//            file access.
//   display  UTF-8: UI texts, messages, labels, the report texts.
//
// Content becomes display text where it enters a message or label; typed
// text becomes content by the reverse conversion. The conversion is
// lossless: the five bytes that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to U+0081, U+008D, U+008F, U+0090 and U+009D.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// Windows-1252 bytes (the content kind). An alias, for the reader: functions
// that take or give content say so by this name.
using Content = std::string;
// UTF-8 text for the user (the display kind).
using DisplayText = std::string;

// Content to display text.
DisplayText ContentToDisplay(std::string_view content);

// Display text to content. Returns nullopt when the text holds a character
// that Windows-1252 lacks, or is not valid UTF-8.
std::optional<Content> DisplayToContent(std::string_view display);

// Display text to content, with every character that Windows-1252 lacks
// replaced by '?'. For texts that are only shown, never matched.
Content DisplayToContentLossy(std::string_view display);

// The Unicode code point of one Windows-1252 byte.
char32_t Cp1252ToCodePoint(unsigned char byte);

// The Windows-1252 byte of a code point, or -1 when the code page lacks it:
// U+0000 to U+007F and U+00A0 to U+00FF are their own bytes, the characters
// of 0x80 to 0x9F (and the five code points that stand for its undefined
// bytes) are at theirs. The one table of typed text and of decoded files.
int CodePointToCp1252(char32_t code_point);

// Decodes the UTF-8 sequence at text[*pos] and moves *pos behind it. Only a
// well-formed sequence counts: 1 to 4 bytes, shortest form, no surrogate,
// at most U+10FFFF. Returns its code point, or -1 (and moves *pos by one
// byte) when no well-formed sequence begins there.
// REQUIRES: *pos < text.size().
long DecodeUtf8At(std::string_view text, std::size_t* pos);

}  // namespace orvane
