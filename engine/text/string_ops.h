// String operations on content texts (one byte a character) that word
// extraction, extracts, the text check and the search side share. Positions
// count from 1; 0 means "not found".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// True when some character is followed by n-1 copies of itself; false when
// the text is shorter than n or n < 1.
bool HasTripleChar(std::string_view text, int n);

// Position of the first character at or after start_position (values below
// 1 count as 1) that is in set; *set_position (when given) receives its
// 1-based position within set. 0 when text or set is empty or none matches.
std::int32_t FindFirstCharOf(std::string_view text,
                             std::int32_t start_position, std::string_view set,
                             std::int32_t* set_position = nullptr);

// Position of the first character at or after start_position (values below
// 1 count as 1) that is not in set; 0 when text is empty or every remaining
// character is in set. With an empty set that is the start position itself.
std::int32_t FindFirstCharNotIn(std::string_view text,
                                std::int32_t start_position,
                                std::string_view set);

// Deletes every character of set from start_position on.
std::string RemoveChars(std::string_view text, std::string_view set,
                        std::int32_t start_position);
std::string RemoveSpaces(std::string_view text);

// Replaces each character of set by replacement.
void ReplaceCharsOf(std::string& text, std::string_view set,
                    std::string_view replacement);

// Removes suffix from the end of text as many times as it occurs there.
void StripTrailing(std::string& text, std::string_view suffix);

// Folder form: a non-empty path loses all trailing "/" and gets exactly one;
// "/" stays "/"; an empty path stays empty.
void AddTrailingBackslash(std::string& path);

// Deletes backspaces (8); CR LF becomes CR; TAB, LF, form feed, CR and the
// no-break space (160) become spaces.
void NormaliseWhitespace(std::string& text);

// Replaces the UTF-8 forms (seen as three single-byte characters) of the
// typographic quotes, hyphen, dashes, ellipsis and bullet by plain text.
void ReplaceUtf8Punctuation(std::string& text);

// The text up to its first space, or all of it.
std::string FirstWord(std::string_view text);

// For max_length >= 10 and a longer text: its first 3 characters, "..." and
// the last max_length - 6 characters, less everything up to and including
// their first space. Otherwise the text unchanged.
std::string ShortenForDisplay(std::string_view text, int max_length);

// From last_index down to first_index + 1: an entry that is not empty and
// equals an earlier entry of the range (through LowerCaseText when
// ignore_case) becomes empty. -1 for an index means the list's bound.
void RemoveDuplicateEntries(std::vector<std::string>& list, bool ignore_case,
                            int first_index = -1, int last_index = -1);

// Moves the non-empty entries of the range down over the empty ones, keeping
// their order, and returns the index of the last non-empty entry (-1 when
// none); with shrink the list is cut to end there (when one exists).
int RemoveEmptyEntries(std::vector<std::string>& list, int first_index = -1,
                       int last_index = -1, bool shrink = true);

// Leading and trailing spaces (the space character only) removed.
std::string TrimSpaces(std::string_view text);
// The same as a view into text.
std::string_view TrimSpacesView(std::string_view text);

// Runs of spaces collapsed to one.
std::string CollapseSpaces(std::string_view text);

// Every occurrence of from replaced by to, left to right, in one pass.
std::string ReplaceAll(std::string_view text, std::string_view from,
                       std::string_view to);

// Replaces from by to until no occurrence remains. REQUIRES: to is shorter
// than from, or does not contain it.
std::string ReplaceRepeatedly(std::string_view text, std::string_view from,
                              std::string_view to);

// Splits at CR LF (a lone LF or a lone CR also ends a piece); every piece
// trimmed of spaces; empty pieces dropped.
std::vector<std::string> SplitTrimmedLines(std::string_view text);

// The lines joined by CR LF, without a line end after the last; the form of
// the one-a-line text boxes and settings items.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace orvane
