#include "engine/text/file_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/common/file_descriptor.h"
#include "engine/text/entities.h"

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
                       TextFileFacts* facts) {
  TextFileFacts found;
  auto finish = [&](std::int16_t code) {
    if (facts != nullptr) *facts = found;
    return code;
  };
  if (!FileExists(path)) return finish(kCheckFileMissing);
  // Non-blocking, so that a pipe put in the file's place cannot hold the
  // check; anything but a regular file is refused after opening.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) return finish(kCheckCannotOpen);
  struct stat st;
  if (::fstat(file.get(), &st) != 0) return finish(kCheckCannotOpen);
  if (!S_ISREG(st.st_mode)) return finish(kCheckFileMissing);
  if (st.st_size == 0) return finish(kCheckFileEmpty);

  std::vector<unsigned char> chunk(kChunkSize);
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
    ssize_t got = ReadFully(file.get(), chunk.data(), chunk.size());
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
    for (std::size_t i = 0; i < looked_at; ++i) {
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
    }
    examined += static_cast<std::int64_t>(looked_at) - ignored;
    found.control_percentage = Percentage(control_chars, examined);
    if (found.control_percentage > threshold_percent) {
      return finish(kCheckNotText);
    }
    if (count_letters) {
      decoded.assign(reinterpret_cast<const char*>(chunk.data()), looked_at);
      DecodeEntities(decoded);
      decoded_chars += static_cast<std::int64_t>(decoded.size());
      for (char ch : decoded) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (IsSpecialLetter(c)) {
          ++special_letters;
          if (!letter_seen[c]) {
            letter_seen[c] = true;
            ++found.distinct_special_letters;
          }
        }
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
                        bool /*clear_hidden*/, bool clear_read_only,
                        bool /*clear_system*/) {
  if (!FileExists(path)) return true;
  for (int attempt = 0;; ++attempt) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
    // A link is removed itself; its target's permissions are not touched.
    bool read_only = !S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0;
    if (read_only && clear_read_only &&
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
                   facts);
}

std::int16_t CheckTextFileAndLetters(const std::filesystem::path& path,
                                     std::int32_t max_chars,
                                     bool ignore_zero_bytes,
                                     TextFileFacts* facts,
                                     double threshold_percent) {
  return CheckFile(path, max_chars, ignore_zero_bytes, true, threshold_percent,
                   facts);
}

}  // namespace orvane
