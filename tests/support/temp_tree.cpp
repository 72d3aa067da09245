#include "tests/support/temp_tree.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "engine/common/cp1252.h"

namespace orvane::testing {

TempDir::TempDir() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "orvane-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary folder");
  }
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Make everything writable again so that read-only files and folders a
  // test made do not survive it.
  for (auto it = std::filesystem::recursive_directory_iterator(
           path_, std::filesystem::directory_options::skip_permission_denied,
           ec);
       !ec && it != std::filesystem::recursive_directory_iterator();
       it.increment(ec)) {
    std::filesystem::permissions(it->path(),
                                 std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add |
                                     std::filesystem::perm_options::nofollow,
                                 ec);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Path(std::string_view relative) const {
  return (path_ / std::filesystem::path(relative)).string();
}

std::string TempDir::Write(std::string_view relative,
                           std::string_view bytes) const {
  std::filesystem::path full = path_ / std::filesystem::path(relative);
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + full.string());
  return full.string();
}

std::string TempDir::MakeDir(std::string_view relative) const {
  std::filesystem::path full = path_ / std::filesystem::path(relative);
  std::filesystem::create_directories(full);
  return full.string();
}

std::vector<std::string> TempDir::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::filesystem::path TestDataFolder() {
  return std::filesystem::path(ORVANE_SOURCE_DIR) / "tests" / "data";
}

std::filesystem::path SourceDataFolder() {
  return std::filesystem::path(ORVANE_SOURCE_DIR) / "data";
}

int RunUnprivileged(const std::function<int()>& body) {
  if (geteuid() != 0) return body();
  constexpr uid_t kNobody = 65534;
  pid_t child = fork();
  if (child < 0) return -1000;
  if (child == 0) {
    if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(128);
    _exit(static_cast<unsigned char>(body()));
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1000;
  if (WEXITSTATUS(status) == 128) return -1000;
  return static_cast<signed char>(WEXITSTATUS(status));
}

void AllowEveryone(const std::filesystem::path& folder) {
  std::filesystem::permissions(folder, std::filesystem::perms::all);
}

std::string Utf16File(std::string_view utf8, bool big_endian) {
  std::string bytes;
  auto put = [&](char32_t unit) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  };
  put(0xFEFF);
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    auto code_point = static_cast<char32_t>(DecodeUtf8At(utf8, &pos));
    if (code_point >= 0x10000) {
      code_point -= 0x10000;
      put(0xD800 + (code_point >> 10));
      put(0xDC00 + (code_point & 0x3FF));
    } else {
      put(code_point);
    }
  }
  return bytes;
}

std::string Visible(std::string_view bytes) {
  std::string out;
  static const char* kHex = "0123456789ABCDEF";
  for (char ch : bytes) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n\n";
    } else if (c < 32 || c > 126) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace orvane::testing
