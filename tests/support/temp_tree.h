// Scratch folders for tests: a fresh temporary folder per test, removed
// afterwards, with helpers to write small trees and read files back whole.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder as a string in folder form (ending in "/").
  std::string folder() const { return path_.string() + "/"; }
  // path() / relative, as a string.
  std::string Path(std::string_view relative) const;

  // Writes bytes to path()/relative, creating its folders; returns the full
  // path.
  std::string Write(std::string_view relative, std::string_view bytes) const;
  // Creates the folder path()/relative (and its parents).
  std::string MakeDir(std::string_view relative) const;
  // The names of the entries of the folder itself, sorted.
  std::vector<std::string> Names() const;

 private:
  std::filesystem::path path_;
};

// The whole file as bytes; "" when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// The folder of the source tree's fixtures (tests/data).
std::filesystem::path TestDataFolder();
// The source tree's data folder (tavo.dat, cwds.txt, sample/).
std::filesystem::path SourceDataFolder();

// Runs body as the unprivileged user "nobody", so that tests of unreadable
// files and unwritable folders hold when the tests run as root, for whom
// permissions do not apply; without root, body runs in this process. The
// files body touches must be reachable by that user (AllowEveryone). body's
// result must lie in -127..127; a result below -127 means body could not
// run.
int RunUnprivileged(const std::function<int()>& body);

// Opens a scratch folder to every user (mode 0777), for RunUnprivileged.
void AllowEveryone(const std::filesystem::path& folder);

// The UTF-8 text as the bytes of a UTF-16 file, with its byte-order mark.
// REQUIRES: text is valid UTF-8.
std::string Utf16File(std::string_view utf8, bool big_endian);

// Readable rendering of bytes for failure messages: CR and LF as \r and \n,
// other bytes outside printable ASCII as \xNN.
std::string Visible(std::string_view bytes);

}  // namespace orvane::testing
