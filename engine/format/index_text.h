// The sections of the index text, in order: the file list (one quoted
// relative path a line) ending in "End of file list"; the lexicon header
// (W and the title); the lexicon (one number and quoted word a line, in
// ascending word order) ending in the format number and "End of lexicon";
// then one count line per word number (count_line.h). Every line ends in
// CR LF; the whole text is compressed into the index file.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

// The items that end the file list and the lexicon.
inline constexpr std::string_view kEndOfFileList = "End of file list";
inline constexpr std::string_view kEndOfLexicon = "End of lexicon";

// The message for an index file that breaks its format: "The index file
// is damaged: " what ".".
std::string IndexFileDamaged(std::string_view what);

}  // namespace orvane
