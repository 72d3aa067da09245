#include "engine/store/store_checksum.h"

// The hash is compiled into this file, so that the program needs xxHash's
// header to build but no library to run.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace orvane::store {

std::uint64_t Checksum64(const void* data, std::size_t size) {
  return XXH3_64bits(data, size);
}

}  // namespace orvane::store
