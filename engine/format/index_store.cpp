#include "engine/format/index_store.h"

namespace orvane {

std::uint32_t MaxFilesIndexed(IndexStoreKind kind) {
  switch (kind) {
    case IndexStoreKind::kClassic:
      return kClassicMaxFilesIndexed;
    case IndexStoreKind::kStore:
      return kStoreMaxFilesIndexed;
  }
  return kClassicMaxFilesIndexed;
}

}  // namespace orvane
