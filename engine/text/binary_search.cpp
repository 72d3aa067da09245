#include "engine/text/binary_search.h"

namespace orvane {

bool FindInList(std::string_view key, const std::vector<std::string>& list,
                std::int32_t n, std::int32_t key_column,
                std::int32_t* position) {
  std::size_t from =
      key_column > 1 ? static_cast<std::size_t>(key_column - 1) : 0;
  return FindInSorted(
      key, list, n,
      [from](const std::string& element) {
        std::string_view e(element);
        return from >= e.size() ? std::string_view() : e.substr(from);
      },
      position);
}

}  // namespace orvane
