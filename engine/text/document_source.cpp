#include "engine/text/document_source.h"

#include <algorithm>

namespace orvane {

std::int32_t PageAtOffset(const std::vector<std::int64_t>& page_offsets,
                          std::int64_t offset) {
  if (page_offsets.empty()) return 0;
  // The last page that starts at or before the offset; pages without text
  // start where the next one does, and the text belongs to the last.
  auto after = std::upper_bound(page_offsets.begin(), page_offsets.end(), offset);
  if (after == page_offsets.begin()) return 1;
  return static_cast<std::int32_t>(after - page_offsets.begin());
}

}  // namespace orvane
