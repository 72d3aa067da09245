// The ports an indexing run talks to the user through, and the two flags
// that end its loops: the run's own stop flag and the launcher's quit flag.
#pragma once

#include "engine/common/launcher_state.h"
#include "engine/common/ports.h"
#include "engine/text/number_text.h"

namespace orvane {

// Every pointer must stay valid while a run uses it; none is owned.
struct IndexPorts {
  Prompter* prompter = nullptr;
  ViewState* view = nullptr;
  Yield* yield = nullptr;
  LargeDisplay* display = nullptr;  // the large display window
  Clock* clock = nullptr;
  LauncherState* launcher = nullptr;  // blnQuit
  NumberFormat number_format;        // digit grouping of labels
};

}  // namespace orvane
