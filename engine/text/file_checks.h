// File checks: whether a file is a text file worth indexing (from its first
// 8192 characters; a UTF-16 file's decoded ones), how its lines end and how
// many special letters it holds; and the existence test and forced delete
// that many parts use.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace orvane {

// Result codes of CheckTextFile and CheckTextFileAndLetters.
inline constexpr std::int16_t kCheckFileMissing = -1;
inline constexpr std::int16_t kCheckCannotOpen = -3;
inline constexpr std::int16_t kCheckFileEmpty = -2;
inline constexpr std::int16_t kCheckNotText = 0;
inline constexpr std::int16_t kCheckTextCrLf = 1;    // CR and LF, or neither
inline constexpr std::int16_t kCheckTextLfOnly = 2;  // only LF
inline constexpr std::int16_t kCheckTextCrOnly = 3;  // only CR

// What a check found besides its result code.
struct TextFileFacts {
  int first_control_char = -1;               // byte value, -1 when none
  std::int64_t first_control_position = 0;   // 1-based, 0 when none
  double control_percentage = 0;
  bool bom_seen = false;                     // UTF-8 byte-order mark
  double special_letter_percentage = 0;      // CheckTextFileAndLetters only
  int distinct_special_letters = 0;          // CheckTextFileAndLetters only
  // The distinct special letters (content), in the order first found.
  std::string special_letters;               // CheckTextFileAndLetters only
};

// True when a regular file (not a folder) exists at the path; false for an
// empty path.
bool FileExists(const std::filesystem::path& path);

// Which attributes DeleteFileForcibly clears before it deletes. Read-only
// means the owner's write bit is clear; hidden and system have no meaning
// here and are accepted for callers that ask for them.
struct DeleteOptions {
  bool clear_hidden = false;
  bool clear_read_only = false;
  bool clear_system = false;
};

// Every attribute cleared: what the program's own files are deleted with.
inline constexpr DeleteOptions kClearAllAttributes{
    .clear_hidden = true, .clear_read_only = true, .clear_system = true};

// Deletes the file. A read-only file is made writable (chmod u+w) first
// only when options.clear_read_only is set; otherwise it is not deleted. A
// failed delete is retried after 500 ms, three times. Returns true unless
// the delete still failed; a missing file gives true.
bool DeleteFileForcibly(const std::filesystem::path& path,
                        DeleteOptions options);

// The pause between retries of DeleteFileForcibly; tests replace it. An
// empty function restores the 500 ms pause.
void SetDeleteRetryPauseForTesting(std::function<void()> pause);

// Examines up to max_chars characters (the program passes 8192) and
// returns one of the codes above. threshold_percent is the largest share of
// control characters a text file may have (0.1).
std::int16_t CheckTextFile(const std::filesystem::path& path,
                           std::int32_t max_chars, bool ignore_zero_bytes,
                           TextFileFacts* facts,
                           double threshold_percent = 0.1);

// CheckTextFile that also counts the special letters (codes 192 to 253 but
// 215 and 247) of the examined characters after their UTF-8 sequences and
// entities are decoded.
std::int16_t CheckTextFileAndLetters(const std::filesystem::path& path,
                                     std::int32_t max_chars,
                                     bool ignore_zero_bytes,
                                     TextFileFacts* facts,
                                     double threshold_percent = 0.1);

// CheckTextFileAndLetters (with_letters) or CheckTextFile for a file that
// the caller has just found to be a regular file (an lstat of a folder
// walk): the existence test before the file is opened is left out.
std::int16_t CheckWalkedTextFile(const std::filesystem::path& path,
                                 std::int32_t max_chars,
                                 bool ignore_zero_bytes, bool with_letters,
                                 TextFileFacts* facts,
                                 double threshold_percent);

}  // namespace orvane
