// What the launcher hands to every module window it opens: the ports the
// engine reports through, the launcher's values (the quit flag and the
// hand-over between modules), and the shared windows (the pop-up note and
// the large display window). The launcher owns all of them; they outlive
// every module window.
#pragma once

#include "engine/common/launcher_state.h"
#include "engine/common/ports.h"

class QWidget;

namespace orvane {

class frmPopUp;
class frmLargeDisplay;

struct ShellServices {
  Prompter& prompter;
  Yield& yield;
  Opener& opener;
  Dialogs& dialogs;  // folder, open and save dialogs
  Clock& clock;      // a run's duration
  LauncherState& launcher;
  QWidget& launcher_window;  // its caption and icon; the pop-ups' reference
  frmPopUp& pop_up;
  frmLargeDisplay& large_display;
};

}  // namespace orvane
