#include "engine/text/file_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/common/file_descriptor.h"
#include "engine/text/content_file.h"
#include "engine/text/entities.h"
#include "engine/text/utf_decoding.h"

namespace orvane {

namespace {

// A file is read in chunks of this size, of which only the first
// kLookedAtPerChunk characters are examined.
constexpr std::size_t kChunkSize = 16384;
constexpr std::size_t kLookedAtPerChunk = 8192;

constexpr int kDeleteRetries = 3;

void SleepBeforeRetry() {
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

std::function<void()>& DeleteRetryPause() {
  static std::function<void()> pause = SleepBeforeRetry;
  return pause;
}

// True when one of the eight bytes is below 32.
inline bool HasByteBelow32(const unsigned char* bytes) {
  std::uint64_t x;
  std::memcpy(&x, bytes, 8);
  return ((x - 0x2020202020202020ull) & ~x & 0x8080808080808080ull) != 0;
}

bool IsSpecialLetter(unsigned char c) {
  return c >= 192 && c <= 253 && c != 215 && c != 247;
}

double Percentage(std::int64_t part, std::int64_t whole) {
  return whole > 0
             ? 100.0 * static_cast<double>(part) / static_cast<double>(whole)
             : 0.0;
}

// Opens the file to be checked, non-blocking, so that a pipe put in the
// file's place cannot hold the check; -1 when it cannot be opened. The
// existence test before keeps the check from opening a pipe or a device,
// where an open alone can have effects.
int OpenCheckedFile(const std::filesystem::path& path, bool known_regular) {
  if (!known_regular && !FileExists(path)) return -1;
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

// 0 for a file that can be checked, otherwise the code that ends the check
// (missing, cannot be opened, empty). Anything but a regular file is
// refused after opening.
std::int16_t CheckOpenedFile(const std::filesystem::path& path,
                             const FileDescriptor& file, struct stat* st) {
  if (!file.ok()) {
    return !FileExists(path) ? kCheckFileMissing : kCheckCannotOpen;
  }
  if (::fstat(file.get(), st) != 0) return kCheckCannotOpen;
  if (!S_ISREG(st->st_mode)) return kCheckFileMissing;
  if (st->st_size == 0) return kCheckFileEmpty;
  return 0;
}

// The control characters and line ends of the characters looked at. The
// plain check ignores the byte-order-mark bytes 254 and 255 at either of
// the first two places of a chunk, the letter check only the little-endian
// mark (255 then 254).
class ControlCount {
 public:
  ControlCount(bool ignore_zero_bytes, bool letter_check)
      : ignore_zero_bytes_(ignore_zero_bytes), letter_check_(letter_check) {}

  // Looks at the first looked_at bytes of a chunk that begins at the file
  // offset chunk_start; the first control character goes into *found.
  void LookAt(const unsigned char* chunk, std::size_t looked_at,
              std::int64_t chunk_start, TextFileFacts* found) {
    std::int64_t ignored = 0;
    // Only bytes below 32 count, and a byte-order mark at the first two
    // places: eight bytes without either are passed over at once.
    std::size_t i = 0;
    for (; i < looked_at && i < 2; ++i) {
      LookAtByte(chunk, i, chunk_start, &ignored, found);
    }
    for (; i + 8 <= looked_at; i += 8) {
      if (!HasByteBelow32(chunk + i)) continue;
      for (std::size_t k = i; k < i + 8; ++k) {
        LookAtByte(chunk, k, chunk_start, &ignored, found);
      }
    }
    for (; i < looked_at; ++i) {
      LookAtByte(chunk, i, chunk_start, &ignored, found);
    }
    examined_ += static_cast<std::int64_t>(looked_at) - ignored;
    found->control_percentage = Percentage(control_chars_, examined_);
  }

  std::int64_t examined() const { return examined_; }

  // The code of a text file by its line ends.
  std::int16_t TextCode() const {
    if (lf_seen_ && !cr_seen_) return kCheckTextLfOnly;
    if (cr_seen_ && !lf_seen_) return kCheckTextCrOnly;
    return kCheckTextCrLf;
  }

 private:
  void LookAtByte(const unsigned char* chunk, std::size_t i,
                  std::int64_t chunk_start, std::int64_t* ignored,
                  TextFileFacts* found) {
    const unsigned char c = chunk[i];
    if (c == '\n') {
      lf_seen_ = true;
    } else if (c == '\r') {
      cr_seen_ = true;
    } else if (ignore_zero_bytes_ && (c == 0 || IsByteOrderMarkByte(c, i))) {
      ++*ignored;
    } else if (c < 32 && c != 8 && c != 9 && c != 12) {
      ++control_chars_;
      if (found->first_control_char < 0) {
        found->first_control_char = c;
        found->first_control_position =
            chunk_start + static_cast<std::int64_t>(i) + 1;
      }
    }
  }

  bool IsByteOrderMarkByte(unsigned char c, std::size_t i) const {
    if (letter_check_) return (i == 0 && c == 255) || (i == 1 && c == 254);
    return i < 2 && (c == 254 || c == 255);
  }

  const bool ignore_zero_bytes_;
  const bool letter_check_;
  bool lf_seen_ = false;
  bool cr_seen_ = false;
  std::int64_t examined_ = 0;
  std::int64_t control_chars_ = 0;
};

// The special letters of the characters looked at, counted as the words
// are read: UTF-8 sequences and entities decoded. Most chunks hold neither
// (every entity begins with "&"; MayHoldUtf8 tells a sequence) and are
// counted as they are; the count looks for a sequence as it goes and gives
// up at the first one, leaving the counts as they were, and the chunk is
// then decoded and counted again.
class SpecialLetterCount {
 public:
  // Counts the letters of a chunk's looked-at part; utf16: the file is
  // UTF-16, read as decoded text already.
  void Add(std::string_view looked, bool utf16, TextFileFacts* found) {
    if (looked.find('&') != std::string_view::npos ||
        !CountText(looked, !utf16, found)) {
      decoded_.assign(looked);
      if (!utf16 && MayHoldUtf8(looked)) DecodeUtf8Text(decoded_);
      DecodeEntities(decoded_);
      CountText(decoded_, false, found);
    }
    found->special_letter_percentage =
        Percentage(special_letters_, decoded_chars_);
  }

 private:
  // Counts the letters of text; false, with nothing counted, at a UTF-8
  // sequence when asked to stop there.
  bool CountText(std::string_view text, bool stop_at_utf8,
                 TextFileFacts* found) {
    const auto* letters = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t count = text.size();
    const std::int64_t special_before = special_letters_;
    const int distinct_before = found->distinct_special_letters;
    const std::size_t letters_before = found->special_letters.size();
    bool seen_before[256];
    std::memcpy(seen_before, letter_seen_, sizeof letter_seen_);
    // Special letters and sequences are all above 127: eight ASCII bytes
    // hold none.
    bool whole = true;
    std::size_t k = 0;
    for (; whole && k + 8 <= count; k += 8) {
      std::uint64_t x;
      std::memcpy(&x, letters + k, 8);
      if ((x & 0x8080808080808080ull) == 0) continue;
      for (std::size_t j = k; whole && j < k + 8; ++j) {
        whole = CountLetter(letters, count, j, stop_at_utf8, found);
      }
    }
    for (; whole && k < count; ++k) {
      whole = CountLetter(letters, count, k, stop_at_utf8, found);
    }
    if (!whole) {
      special_letters_ = special_before;
      found->distinct_special_letters = distinct_before;
      found->special_letters.resize(letters_before);
      std::memcpy(letter_seen_, seen_before, sizeof letter_seen_);
      return false;
    }
    decoded_chars_ += static_cast<std::int64_t>(count);
    return true;
  }

  // False at a UTF-8 sequence, when asked to stop there.
  bool CountLetter(const unsigned char* letters, std::size_t count,
                   std::size_t j, bool stop_at_utf8, TextFileFacts* found) {
    const unsigned char c = letters[j];
    if (stop_at_utf8 && c >= 0xC2 && j + 1 < count &&
        (letters[j + 1] & 0xC0) == 0x80) {
      return false;
    }
    if (IsSpecialLetter(c)) {
      ++special_letters_;
      if (!letter_seen_[c]) {
        letter_seen_[c] = true;
        ++found->distinct_special_letters;
        found->special_letters.push_back(static_cast<char>(c));
      }
    }
    return true;
  }

  std::int64_t special_letters_ = 0;
  std::int64_t decoded_chars_ = 0;
  bool letter_seen_[256] = {};
  std::string decoded_;
};

// The check shared by CheckTextFile and CheckTextFileAndLetters: the file
// is read chunk by chunk until max_chars characters have been looked at,
// and refused as soon as its control characters pass the threshold.
std::int16_t CheckFile(const std::filesystem::path& path,
                       std::int32_t max_chars, bool ignore_zero_bytes,
                       bool count_letters, double threshold_percent,
                       bool known_regular, TextFileFacts* facts) {
  TextFileFacts found;
  auto finish = [&](std::int16_t code) {
    if (facts != nullptr) *facts = found;
    return code;
  };
  FileDescriptor file(OpenCheckedFile(path, known_regular));
  struct stat st;
  if (std::int16_t code = CheckOpenedFile(path, file, &st)) return finish(code);

  // A UTF-16 file is checked on its decoded text.
  ContentFile content;
  content.Start(file.get());
  std::array<unsigned char, kChunkSize> chunk;
  ControlCount controls(ignore_zero_bytes, count_letters);
  SpecialLetterCount letters;
  std::int64_t chunk_start = 0;  // file offset of the chunk
  while (controls.examined() < max_chars) {
    ssize_t got = content.ReadFully(reinterpret_cast<char*>(chunk.data()),
                                    chunk.size(), st.st_size - chunk_start);
    if (got < 0) return finish(kCheckCannotOpen);
    if (got == 0) break;
    std::size_t looked_at =
        std::min(static_cast<std::size_t>(got), kLookedAtPerChunk);
    if (chunk_start == 0) {
      found.bom_seen =
          got >= 3 && chunk[0] == 0xEF && chunk[1] == 0xBB && chunk[2] == 0xBF;
    }
    controls.LookAt(chunk.data(), looked_at, chunk_start, &found);
    if (found.control_percentage > threshold_percent) {
      return finish(kCheckNotText);
    }
    if (count_letters) {
      letters.Add(std::string_view(reinterpret_cast<const char*>(chunk.data()),
                                   looked_at),
                  content.utf16(), &found);
    }
    chunk_start += got;
    if (static_cast<std::size_t>(got) < chunk.size()) break;  // end of file
  }
  return finish(controls.TextCode());
}

}  // namespace

bool FileExists(const std::filesystem::path& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

bool DeleteFileForcibly(const std::filesystem::path& path,
                        DeleteOptions options) {
  if (!FileExists(path)) return true;
  for (int attempt = 0;; ++attempt) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
    // A link is removed itself; its target's permissions are not touched.
    bool read_only = !S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0;
    if (read_only && options.clear_read_only &&
        ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0) {
      read_only = false;
    }
    // A read-only file refuses deletion, as it does on the file systems
    // where read-only is an attribute of the file itself.
    if (!read_only && (::unlink(path.c_str()) == 0 || errno == ENOENT)) {
      return true;
    }
    if (attempt == kDeleteRetries) return false;
    DeleteRetryPause()();
  }
}

void SetDeleteRetryPauseForTesting(std::function<void()> pause) {
  DeleteRetryPause() = pause ? std::move(pause) : SleepBeforeRetry;
}

std::int16_t CheckTextFile(const std::filesystem::path& path,
                           std::int32_t max_chars, bool ignore_zero_bytes,
                           TextFileFacts* facts, double threshold_percent) {
  return CheckFile(path, max_chars, ignore_zero_bytes, false, threshold_percent,
                   false, facts);
}

std::int16_t CheckTextFileAndLetters(const std::filesystem::path& path,
                                     std::int32_t max_chars,
                                     bool ignore_zero_bytes,
                                     TextFileFacts* facts,
                                     double threshold_percent) {
  return CheckFile(path, max_chars, ignore_zero_bytes, true, threshold_percent,
                   false, facts);
}

std::int16_t CheckWalkedTextFile(const std::filesystem::path& path,
                                 std::int32_t max_chars,
                                 bool ignore_zero_bytes, bool with_letters,
                                 TextFileFacts* facts,
                                 double threshold_percent) {
  return CheckFile(path, max_chars, ignore_zero_bytes, with_letters,
                   threshold_percent, true, facts);
}

}  // namespace orvane
