#include "engine/files/folder.h"

#include <cstdlib>
#include <system_error>

namespace orvane {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

bool FolderExists(const std::string& folder) {
  if (folder.empty()) return false;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  return !ec;
}

std::string GetSpecialFolderPath(int special_folder_number) {
  if (special_folder_number != 26) return std::string();
  std::string data_home = Env("XDG_DATA_HOME");
  if (!data_home.empty()) return data_home;
  std::string home = Env("HOME");
  if (home.empty()) return std::string();
  return home + "/.local/share";
}

std::string FirstFixedDrive() { return Env("HOME"); }

std::string GetAppDataFilePath(std::string_view file_name,
                               std::string_view subfolder_name) {
  std::string base = GetSpecialFolderPath(26);
  if (base.empty()) base = FirstFixedDrive();
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  std::string folder = base + "/" + std::string(subfolder_name);
  if (!FolderExists(folder)) {
    std::error_code ec;
    // The base itself may be missing on a fresh account.
    std::filesystem::create_directories(folder, ec);
  }
  return folder + "/" + std::string(file_name);
}

}  // namespace orvane
