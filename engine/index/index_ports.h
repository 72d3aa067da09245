// The ports an indexing run talks to the user through, the flag that ends
// its loops from outside (the launcher's quit flag), and where its progress
// events go. Bundled once per window, like the Search Module's ports.
#pragma once

#include "engine/common/launcher_state.h"
#include "engine/common/ports.h"
#include "engine/common/run_progress.h"
#include "engine/text/number_text.h"

namespace orvane {

// None is owned; every one must outlive the module or run that holds them.
struct IndexPorts {
  Prompter& prompter;
  ViewState& view;
  Yield& yield;
  LargeDisplay& display;  // the large display window
  Clock& clock;
  LauncherState& launcher;  // blnQuit
  NumberFormat number_format = {};  // digit grouping of labels
  // The run's progress as events, beside its labels.
  RunProgress& progress = NoRunProgress();
};

}  // namespace orvane
