// The single-byte character model: the letter tables of the Windows-1252
// code page, word characters, case folding (Latin-1 letters included),
// special letters and accent folding. All texts here are content (one byte a
// character); positions count from 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// The stored tables, as Windows-1252 bytes.
extern const std::string_view kUpperCaseLetters;     // 59: A-Z Š Œ Ÿ À-Ö Ø-Þ
extern const std::string_view kLowerCaseLetters;     // 60: a-z š œ ÿ à-ö ø-þ ß
extern const std::string_view kSpecialLetters;       // 59 accented letters
extern const std::string_view kExtraSpecialLetters;  // "æðþ"
extern const std::string_view kFoldedLetters;        // 59, partners of kSpecialLetters
extern const std::string_view kExpandedLetters;      // "ŒÄÆÖÜäæöüß"
extern const std::string_view kExpansions;           // "OeAeAeOeUeaeaeoeuess"
extern const std::string_view kDigits;               // "0123456789"

// True when the byte is a word character: A-Z, a-z, 192-214, 216-246,
// 248-255, the digits when digits_allowed, or any byte of extra.
bool IsWordByte(unsigned char c, bool digits_allowed,
                std::string_view extra = {});

// The same for a one-character text; false for the empty text.
bool IsWordChar(std::string_view ch, bool digits_allowed,
                std::string_view extra = {});

// Number of consecutive word characters from start_position (1-based), at
// most 65000.
std::int32_t WordCharRunLength(std::string_view text,
                               std::int32_t start_position,
                               bool digits_allowed,
                               std::string_view extra = {});

// Lower-cases a text. A text without special letters gets the ordinary
// lower-casing of the code page (which also turns Ž into ž); otherwise each
// letter of the upper-case table becomes its lower-case partner.
std::string LowerCaseText(std::string_view text);
// LowerCaseText written into out[0] .. out[text.size() - 1], for callers
// that lower-case line after line into one buffer. out may be text.data().
void LowerCaseTextTo(std::string_view text, char* out);
// The mirror of LowerCaseText; ß stays ß.
std::string UpperCaseText(std::string_view text);

// True when no character of the text is in kSpecialLetters.
bool HasNoSpecialLetters(std::string_view text);

std::string FoldAccents(std::string_view text);
std::string ExpandUmlauts(std::string_view text);
// ExpandUmlauts, then FoldAccents: "Äpfel" gives "Aepfel".
std::string FoldForComparison(std::string_view text);

// Linear search of list[first_index .. first_index + count - 1] for text:
// exact, or (unless case_sensitive) equal after LowerCaseText of both. With
// sorted, the search stops at the first entry whose folded key sorts after
// the text's. An empty text or a count of 0 gives false.
bool IsInList(std::string_view text, const std::vector<std::string>& list,
              std::int32_t first_index, std::int32_t count, bool sorted,
              bool case_sensitive);

// Every character in neither letter table (nor a digit, with keep_digits)
// becomes a space; the length stays.
std::string BlankNonLetters(std::string_view text, bool keep_digits);

// True when every character is in the letter tables or in extra_allowed.
bool HasOnlyLetters(std::string_view text, std::string_view extra_allowed);

// a" o" u" A" O" U" become ä ö ü Ä Ö Ü.
std::string TypeUmlauts(std::string_view text);

}  // namespace orvane
