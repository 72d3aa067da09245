// The Shell module: hands a document or a web address to the desktop's
// opener (the Opener port) and tells the user, through the Prompter, when the
// opener refuses it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "engine/common/ports.h"

namespace orvane::Shell {

// The program's own documents are named by addresses relative to the
// program's folder: "file://docs/index.htm". Such an address becomes
// "file://" + the absolute path of that file (ProgramFilePath, so the
// installed layout is found too): "file:///opt/orvane/docs/index.htm".
// Every other address or path is returned unchanged.
std::string ResolveAddress(std::string_view address);

// The warning shown when a document cannot be opened.
std::string OpenDocumentErrorText(std::string_view path);

// The warning shown when an address cannot be opened: the opener's code and,
// for codes 31, 8 and 2, a hint (31 names the address's extension).
std::string LaunchBrowserErrorText(int code, std::string_view extension);

// Asks the opener to open the document at path. Returns true when it
// accepted (a result above 32). On refusal, with show_error set, shows a
// warning titled "Error"; returns false.
bool OpenDocument(Opener& opener, Prompter& prompter, const std::string& path,
                  bool show_error);

// The caption of a window's link to its part of the user manual: what the
// link opens, not its address ("file://docs/index_module.htm" once).
inline constexpr std::string_view kUserManualCaption = "User manual";

// Asks the opener to open a web address or a path (resolved first with
// ResolveAddress). A refusal is shown in a warning titled "Cannot launch web
// browser"; the caller goes on either way.
void LaunchBrowser(Opener& opener, Prompter& prompter,
                   const std::string& address);

}  // namespace orvane::Shell
