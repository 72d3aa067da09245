#include "engine/shell/launcher.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "engine/common/program_folder.h"
#include "engine/common/program_texts.h"

namespace orvane {

namespace {

constexpr const char* kCrLf = "\r\n";

}  // namespace

std::string LauncherIntroductionText() {
  return GetProgramText(60) + kCrLf + kCrLf + GetProgramText(61) + kCrLf +
         GetProgramText(62) + kCrLf + GetProgramText(63);
}

std::string UserManualFolder() {
  std::error_code ec;
  std::filesystem::path docs = ProgramFilePath("docs");
  // The installed docs folder leads to share/doc/orvane: the message names
  // where the pages really are.
  std::filesystem::path real = std::filesystem::weakly_canonical(docs, ec);
  return (ec ? docs : real).string();
}

std::string UserManualMessage() {
  std::string text;
  text += GetProgramText(82) + kCrLf + GetProgramText(83) + kCrLf + kCrLf;
  text += "On this computer the manual is the set of HTML files in the folder";
  text += kCrLf;
  text += UserManualFolder() + kCrLf + kCrLf;
  text += "Its start page, index.htm, opens in your web browser when you";
  text += kCrLf;
  text += "close this message; you can also load that file into a web browser";
  text += kCrLf;
  text += "to read the manual.";
  return text;
}

void StartModule(LauncherState& state) {
  state.blnQuit = false;
  state.blnIndexModuleToSearchModule = false;
}

void HandOverToSearchModule(LauncherState& state, std::string top_folder,
                            std::string index_file) {
  state.blnQuit = true;
  state.blnIndexModuleToSearchModule = true;
  state.strTopFolder = std::move(top_folder);
  state.strIndexFile = std::move(index_file);
}

}  // namespace orvane
