#include "engine/common/run_progress.h"

namespace orvane {

RunProgress& NoRunProgress() {
  static RunProgress nobody;
  return nobody;
}

}  // namespace orvane
