#include "engine/common/run_progress.h"

namespace orvane {

RunProgress& NoRunProgress() {
  static RunProgress nobody;
  return nobody;
}

RunFlags LetWindowSystemRun(Yield& yield, const LauncherState& launcher,
                            const bool& stop_flag) {
  yield.ProcessPendingEvents();
  return RunFlags{launcher.blnQuit, stop_flag};
}

}  // namespace orvane
