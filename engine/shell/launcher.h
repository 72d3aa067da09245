// The launcher's own rules: the texts it shows (its introduction and the
// user-manual message) and the changes a module makes to its values when it
// opens or hands over to the Search Module.
#pragma once

#include <string>

#include "engine/common/launcher_state.h"

namespace orvane {

// The introduction of txbIntro: UI text 60, an empty line, then UI texts 61,
// 62 and 63 on lines of their own.
std::string LauncherIntroductionText();

// The folder of the user manual on this computer: the program's docs
// folder (in the installed layout, where it leads: share/doc/orvane).
std::string UserManualFolder();

// The user-manual message of cmdHelp: UI texts 82 and 83, then the folder
// that holds the manual's HTML pages and that its start page, index.htm,
// opens in the web browser.
std::string UserManualMessage();

// A module window opens: the quit flag and the hand-over flag are cleared.
void StartModule(LauncherState& state);

// The Index Module goes on to the Search Module with the index it made: the
// module ends (blnQuit), and the launcher opens the Search Module with the
// top folder and index file filled in.
void HandOverToSearchModule(LauncherState& state, std::string top_folder,
                            std::string index_file);

}  // namespace orvane
