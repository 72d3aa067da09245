// HTML character entities: the program's one entity table and the
// operations that decode entities in file text and encode characters for the
// HTML report. All texts are content (Windows-1252 bytes).
#pragma once

#include <string>
#include <string_view>

namespace orvane {

// 67 entries separated by single spaces, each "&name;" followed by the
// character it stands for ("&nbsp;" and "&#160;" stand for the separating
// space itself; "&#8212;" for the em dash, byte 151).
extern const std::string_view kEntityTable;

// Decodes "&quot;" and the entities of the table, one level only (a decoded
// "&" is not decoded again); other "&...;" stay.
void DecodeEntities(std::string& text);

// Each "&...;" with no space before its ";" becomes one space.
void BlankUnknownEntities(std::string& text);

// Drops the text from each "&" up to its ";" (or a space, which stays), then
// replaces each "  " by " " in one pass.
std::string RemoveEntityText(std::string_view text);

// Writes every character that has an entry as its entity name; the em dash
// becomes " &#8212; " with its spaces. Other characters stay.
void EncodeEntities(std::string& text);

// Each double quote becomes "&quot;".
std::string EncodeQuotes(std::string_view text);

}  // namespace orvane
