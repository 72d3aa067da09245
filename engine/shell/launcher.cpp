#include "engine/shell/launcher.h"

#include <utility>

#include "engine/common/common_values.h"
#include "engine/common/cp1252.h"
#include "engine/common/program_texts.h"
#include "engine/text/charset.h"

namespace orvane {

namespace {

// Numbered UI texts of the launcher.
constexpr std::int16_t kTextProgramName = 1;
constexpr std::int16_t kTextProgramAbbreviation = 7;
constexpr std::int16_t kTextIntroductionFirst = 60;  // 60 to 63
constexpr std::int16_t kTextManualFolder = 82;
constexpr std::int16_t kTextManualLinks = 83;

constexpr const char* kCrLf = "\r\n";

// UI text 7 is display text; the letter tables fold content, so the text
// goes through content and back.
std::string LowerCaseDisplay(const std::string& display) {
  return ContentToDisplay(LowerCaseText(DisplayToContentLossy(display)));
}

}  // namespace

std::string LauncherIntroductionText() {
  return GetProgramText(kTextIntroductionFirst) + kCrLf + kCrLf +
         GetProgramText(kTextIntroductionFirst + 1) + kCrLf +
         GetProgramText(kTextIntroductionFirst + 2) + kCrLf +
         GetProgramText(kTextIntroductionFirst + 3);
}

std::string UserManualMessage() {
  const std::string abbr =
      LowerCaseDisplay(GetProgramText(kTextProgramAbbreviation));
  std::string ver = OV_common::VersionText();
  std::erase(ver, '.');
  std::string text;
  text += GetProgramText(kTextManualFolder) + kCrLf +
          GetProgramText(kTextManualLinks) + kCrLf + kCrLf;
  text += "It is also provided as HTML files contained in the ZIP file";
  text += kCrLf;
  text += abbr + "_user_manual.zip in the " + abbr + ver +
          " program files folder." + kCrLf + kCrLf;
  text += "There is an entry in the '" + GetProgramText(kTextProgramName) +
          "' program menu" + kCrLf;
  text +=
      "for this ZIP file, which you can save to a location of your "
      "choice.";
  text += std::string(kCrLf) + kCrLf;
  text += "Unzip the file into some folder on your computer.  Load the file " +
          abbr + ".htm" + kCrLf;
  text += "into a web browser to read the manual.";
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
