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

// The check shared by CheckTextFile and CheckTextFileAndLetters. The two
// differ in which byte-order-mark bytes they ignore (the plain check takes
// 254 and 255 at either of the first two places of a chunk, the letter check
// only the little-endian mark, 255 then 254) and in the letter count.
std::int16_t CheckFile(const std::filesystem::path& path,
                       std::int32_t max_chars, bool ignore_zero_bytes,
                       bool count_letters, double threshold_percent,
                       bool known_regular, TextFileFacts* facts) {
  TextFileFacts found;
  auto finish = [&](std::int16_t code) {
    if (facts != nullptr) *facts = found;
    return code;
  };
  // The test keeps the check from opening a pipe or a device, where an
  // open alone can have effects.
  if (!known_regular && !FileExists(path)) return finish(kCheckFileMissing);
  // Non-blocking, so that a pipe put in the file's place cannot hold the
  // check; anything but a regular file is refused after opening.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) {
    return finish(known_regular && !FileExists(path) ? kCheckFileMissing
                                                     : kCheckCannotOpen);
  }
  struct stat st;
  if (::fstat(file.get(), &st) != 0) return finish(kCheckCannotOpen);
  if (!S_ISREG(st.st_mode)) return finish(kCheckFileMissing);
  if (st.st_size == 0) return finish(kCheckFileEmpty);

  // A UTF-16 file is checked on its decoded text.
  ContentFile content;
  content.Start(file.get());
  std::array<unsigned char, kChunkSize> chunk;
  bool lf_seen = false;
  bool cr_seen = false;
  std::int64_t examined = 0;
  std::int64_t control_chars = 0;
  std::int64_t chunk_start = 0;  // file offset of the chunk
  std::int64_t special_letters = 0;
  std::int64_t decoded_chars = 0;
  bool letter_seen[256] = {};
  std::string decoded;
  bool first_chunk = true;

  while (examined < max_chars) {
    ssize_t got = content.ReadFully(reinterpret_cast<char*>(chunk.data()),
                                    chunk.size(), st.st_size - chunk_start);
    if (got < 0) return finish(kCheckCannotOpen);
    if (got == 0) break;
    std::size_t looked_at =
        std::min(static_cast<std::size_t>(got), kLookedAtPerChunk);
    if (first_chunk) {
      found.bom_seen =
          got >= 3 && chunk[0] == 0xEF && chunk[1] == 0xBB && chunk[2] == 0xBF;
      first_chunk = false;
    }
    std::int64_t ignored = 0;
    auto look_at = [&](std::size_t i) {
      unsigned char c = chunk[i];
      if (c == '\n') {
        lf_seen = true;
      } else if (c == '\r') {
        cr_seen = true;
      } else if (ignore_zero_bytes &&
                 (c == 0 ||
                  (count_letters ? (i == 0 && c == 255) || (i == 1 && c == 254)
                                 : i < 2 && (c == 254 || c == 255)))) {
        ++ignored;
      } else if (c < 32 && c != 8 && c != 9 && c != 12) {
        ++control_chars;
        if (found.first_control_char < 0) {
          found.first_control_char = c;
          found.first_control_position =
              chunk_start + static_cast<std::int64_t>(i) + 1;
        }
      }
    };
    // Only bytes below 32 count, and a byte-order mark at the first two
    // places: eight bytes without either are passed over at once.
    std::size_t i = 0;
    for (; i < looked_at && i < 2; ++i) look_at(i);
    for (; i + 8 <= looked_at; i += 8) {
      if (!HasByteBelow32(chunk.data() + i)) continue;
      for (std::size_t k = i; k < i + 8; ++k) look_at(k);
    }
    for (; i < looked_at; ++i) look_at(i);
    examined += static_cast<std::int64_t>(looked_at) - ignored;
    found.control_percentage = Percentage(control_chars, examined);
    if (found.control_percentage > threshold_percent) {
      return finish(kCheckNotText);
    }
    if (count_letters) {
      // The letters are counted as the words are read: UTF-8 sequences
      // and entities decoded. Most chunks hold neither (every entity begins
      // with "&"; MayHoldUtf8 tells a sequence) and are counted as they
      // are; the count looks for a sequence as it goes and gives up at the
      // first one, leaving the counts as they were.
      const std::string_view looked(
          reinterpret_cast<const char*>(chunk.data()), looked_at);
      auto count_text = [&](std::string_view text, bool stop_at_utf8) {
        const auto* letters = reinterpret_cast<const unsigned char*>(text.data());
        const std::size_t count = text.size();
        const std::int64_t special_before = special_letters;
        const int distinct_before = found.distinct_special_letters;
        bool seen_before[256];
        std::memcpy(seen_before, letter_seen, sizeof letter_seen);
        // False at a UTF-8 sequence, when asked to stop there.
        auto count_letter = [&](std::size_t j) {
          const unsigned char c = letters[j];
          if (stop_at_utf8 && c >= 0xC2 && j + 1 < count &&
              (letters[j + 1] & 0xC0) == 0x80) {
            return false;
          }
          if (IsSpecialLetter(c)) {
            ++special_letters;
            if (!letter_seen[c]) {
              letter_seen[c] = true;
              ++found.distinct_special_letters;
            }
          }
          return true;
        };
        // Special letters and sequences are all above 127: eight ASCII
        // bytes hold none.
        bool whole = true;
        std::size_t k = 0;
        for (; whole && k + 8 <= count; k += 8) {
          std::uint64_t x;
          std::memcpy(&x, letters + k, 8);
          if ((x & 0x8080808080808080ull) == 0) continue;
          for (std::size_t j = k; whole && j < k + 8; ++j) whole = count_letter(j);
        }
        for (; whole && k < count; ++k) whole = count_letter(k);
        if (!whole) {
          special_letters = special_before;
          found.distinct_special_letters = distinct_before;
          std::memcpy(letter_seen, seen_before, sizeof letter_seen);
          return false;
        }
        decoded_chars += static_cast<std::int64_t>(count);
        return true;
      };
      if (looked.find('&') != std::string_view::npos ||
          !count_text(looked, !content.utf16())) {
        decoded.assign(looked);
        if (!content.utf16() && MayHoldUtf8(looked)) DecodeUtf8Text(decoded);
        DecodeEntities(decoded);
        count_text(decoded, false);
      }
      found.special_letter_percentage =
          Percentage(special_letters, decoded_chars);
    }
    chunk_start += got;
    if (static_cast<std::size_t>(got) < chunk.size()) break;  // end of file
  }
  if (lf_seen && !cr_seen) return finish(kCheckTextLfOnly);
  if (cr_seen && !lf_seen) return finish(kCheckTextCrOnly);
  return finish(kCheckTextCrLf);
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
