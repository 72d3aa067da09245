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

// The user-manual message of cmdHelp. It names the manual's ZIP file and
// program folder after UI text 7 (lower-cased) and the version text without
// its point ("ofs101").
// REQUIRES: OV_common::InitCommonValues() has run.
std::string UserManualMessage();

// A module window opens: the quit flag and the hand-over flag are cleared.
void StartModule(LauncherState& state);

// The Index Module goes on to the Search Module with the index it made: the
// module ends (blnQuit), and the launcher opens the Search Module with the
// top folder and index file filled in.
void HandOverToSearchModule(LauncherState& state, std::string top_folder,
                            std::string index_file);

}  // namespace orvane
