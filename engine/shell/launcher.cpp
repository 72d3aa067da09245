#include "engine/shell/launcher.h"

#include <cstdint>
#include <filesystem>
#include <system_error>
#include <utility>

#include "engine/common/program_folder.h"
#include "engine/common/program_texts.h"

namespace orvane {

namespace {

// Numbered UI texts of the launcher.
constexpr std::int16_t kTextIntroductionFirst = 60;  // 60 to 63
constexpr std::int16_t kTextManualFolder = 82;
constexpr std::int16_t kTextManualLinks = 83;

constexpr const char* kCrLf = "\r\n";

}  // namespace

std::string LauncherIntroductionText() {
  return GetProgramText(kTextIntroductionFirst) + kCrLf + kCrLf +
         GetProgramText(kTextIntroductionFirst + 1) + kCrLf +
         GetProgramText(kTextIntroductionFirst + 2) + kCrLf +
         GetProgramText(kTextIntroductionFirst + 3);
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
  text += GetProgramText(kTextManualFolder) + kCrLf +
          GetProgramText(kTextManualLinks) + kCrLf + kCrLf;
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
