#include "engine/format/index_text.h"

namespace orvane {

std::string IndexFileDamaged(std::string_view what) {
  return "The index file is damaged: " + std::string(what) + ".";
}

}  // namespace orvane
