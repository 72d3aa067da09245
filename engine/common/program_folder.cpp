#include "engine/common/program_folder.h"

#include <system_error>

namespace orvane {

std::filesystem::path ProgramFolder() {
  std::error_code ec;
  std::filesystem::path exe =
      std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec);
  return exe.parent_path();
}

namespace {

// file_name in the program folder, else in ../TOP/orvane beside it, else
// the program-folder path.
std::filesystem::path FindBesideProgram(std::string_view file_name,
                                        std::string_view installed_top) {
  std::filesystem::path folder = ProgramFolder();
  std::filesystem::path here = folder / file_name;
  std::error_code ec;
  if (std::filesystem::exists(here, ec)) return here;
  std::filesystem::path installed =
      folder.parent_path() / installed_top / "orvane" / file_name;
  if (std::filesystem::exists(installed, ec)) return installed;
  return here;
}

}  // namespace

std::filesystem::path ProgramFilePath(std::string_view file_name) {
  return FindBesideProgram(file_name, "share");
}

std::filesystem::path ProgramHelperPath(std::string_view file_name) {
  return FindBesideProgram(file_name, "lib");
}

}  // namespace orvane
