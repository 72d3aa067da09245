#include "engine/common/status.h"

#include <new>

namespace orvane {

Status StatusFromException(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
    return Status::Failed("There is not enough memory for this run.");
  }
  return Status::Failed(e.what());
}

}  // namespace orvane
