#include "engine/shell/shell.h"

#include "engine/common/program_folder.h"
#include "engine/text/markup.h"

namespace orvane::Shell {

namespace {

constexpr std::string_view kFileScheme = "file://";

// A result above 32 means the opener accepted the request.
constexpr int kLastErrorCode = 32;

}  // namespace

std::string ResolveAddress(std::string_view address) {
  if (address.substr(0, kFileScheme.size()) != kFileScheme) {
    return std::string(address);
  }
  std::string_view rest = address.substr(kFileScheme.size());
  // "file:///..." is absolute already; an empty rest names nothing.
  if (rest.empty() || rest.front() == '/') return std::string(address);
  return std::string(kFileScheme) + ProgramFilePath(rest).string();
}

std::string OpenDocumentErrorText(std::string_view path) {
  std::string text = "Error opening file ";
  text += path;
  text += ".\r\nPerhaps the file extension is incorrect.";
  return text;
}

std::string LaunchBrowserErrorText(int code, std::string_view extension) {
  std::string text = "Error launching web browser, error code = ";
  text += std::to_string(code);
  text += ".";
  switch (code) {
    case 31:
      text += "\r\n\r\nFile extension '";
      text += extension;
      text += "' is not associated with any application program.";
      break;
    case 8:
      text += "\r\n\r\nOut of memory.";
      break;
    case 2:
      text += "\r\n\r\nPlease try once more.";
      break;
    default:
      break;
  }
  return text;
}

bool OpenDocument(Opener& opener, Prompter& prompter, const std::string& path,
                  bool show_error) {
  if (opener.Open(path) > kLastErrorCode) return true;
  if (show_error) {
    prompter.ShowMessage(MessageIcon::kWarning, "Error",
                         OpenDocumentErrorText(path));
  }
  return false;
}

void LaunchBrowser(Opener& opener, Prompter& prompter,
                   const std::string& address) {
  std::string target = ResolveAddress(address);
  std::string extension = GetExtension(target, true);
  int code = opener.Open(target);
  if (code > kLastErrorCode) return;
  prompter.ShowMessage(MessageIcon::kWarning, "Cannot launch web browser",
                       LaunchBrowserErrorText(code, extension));
}

}  // namespace orvane::Shell
