// The numbered UI texts: most messages, captions and labels of the program
// are looked up by number in the program-text file tavo.dat, loaded once at
// start-up.
//
// tavo.dat is UTF-8 text, one "NUMBER<TAB>text" a line; lines that are empty
// or begin with "#" are comments; "\n" inside a text is a line break (CR LF
// in the looked-up text). A number is 1 to 32767; a text is at most 1024
// characters long.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/common/status.h"

namespace orvane {

namespace auxkit {

// Loader results below 1 (the error codes of the program-text component).
inline constexpr std::int32_t kNoTextRead = 0;
inline constexpr std::int32_t kCannotOpen = -1;
inline constexpr std::int32_t kParticularAllocation = -2;
inline constexpr std::int32_t kTooMuchText = -3;
inline constexpr std::int32_t kTextNotRecovered = -4;
inline constexpr std::int32_t kFileEmpty = -6;
inline constexpr std::int32_t kReadError = -7;
inline constexpr std::int32_t kGeneralAllocation = -8;
// Line-numbered codes: kDuplicateBase - line, kTooLongBase - line,
// kMissingBase - line.
inline constexpr std::int32_t kDuplicateBase = -1500;
inline constexpr std::int32_t kTooLongBase = -1000;
inline constexpr std::int32_t kMissingBase = -500;

// Loads the texts of the file at full_path, replacing any loaded before.
// Returns the number of texts loaded (1 or more), or an error code above.
// *error_line (when given) receives the 1-based line of a line-numbered
// error, also beyond the lines that the code itself can carry.
std::int32_t _lt(const std::string& full_path, std::int32_t flags,
                 std::int32_t* error_line = nullptr);

// Copies the text with the given number into buffer (at most buffer_length
// bytes, no terminating NUL) and returns its length in bytes; below 1 means
// no text.
std::int32_t _gt(std::int16_t number, std::int16_t language, char* buffer,
                 std::int32_t buffer_length, std::int32_t flags);

}  // namespace auxkit

// The message for a loader result below 1, as the start-up failure box
// shows it (display text). full_path is named in the cannot-open message.
std::string ProgramTextLoadMessage(std::int32_t code,
                                   std::string_view full_path,
                                   std::int32_t error_line = 0);

// Loads file_name from the program's folder (ProgramFilePath). On failure
// returns Status::Failed with the loader's message; the caller shows it with
// a critical-error icon and an empty title and ends the program.
Status LoadProgramTexts(std::string_view file_name);

// Loads the program texts from an explicit path (tests, tools).
Status LoadProgramTextsFrom(const std::string& full_path);

// The text with the given number, or an empty text when there is none.
std::string GetProgramText(std::int16_t number);

}  // namespace orvane
