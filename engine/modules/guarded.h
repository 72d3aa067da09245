// How the handlers of both modules catch what nobody expects. A handler
// runs its work through Guarded: an exception from the work (no memory
// left, or a bug) ends the handler, never the program. The failure is shown
// in an error box titled "Error", recover puts the window back in order
// (the run's flags, captions and enabled controls), and the handler returns
// failure. Files a run had begun are discarded by their owners as the
// exception leaves them.
#pragma once

#include <exception>

#include "engine/common/ports.h"
#include "engine/common/status.h"

namespace orvane {

template <class T, class Work, class Recover>
T Guarded(Prompter& prompter, T failure, Work&& work, Recover&& recover) {
  try {
    return work();
  } catch (const std::exception& e) {
    prompter.ShowMessage(MessageIcon::kError, "Error",
                         StatusFromException(e).message());
    recover();
    return failure;
  }
}

}  // namespace orvane
