#include "engine/text/sorting.h"

#include "engine/text/charset.h"

namespace orvane {

namespace {

std::string_view KeyFrom(const std::string& element, int key_column) {
  std::size_t from = key_column > 1 ? static_cast<std::size_t>(key_column - 1)
                                    : 0;
  return from >= element.size() ? std::string_view()
                                : std::string_view(element).substr(from);
}

}  // namespace

void SortDescending(std::vector<std::string>& list, int first_index,
                    int last_index, int key_column) {
  QuickSortDescending(list, first_index, last_index,
                      [key_column](const std::string& element) {
                        return KeyFrom(element, key_column);
                      });
}

void SortAscending(std::vector<std::string>& list, int first_index,
                   int last_index, int key_column) {
  SortDescending(list, first_index, last_index, key_column);
  ReverseRange(list, first_index, last_index);
}

void SortAscendingFolded(std::vector<std::string>& list, int first_index,
                         int last_index, bool fold_case, int key_column) {
  if (!fold_case) {
    SortAscending(list, first_index, last_index, key_column);
    return;
  }
  QuickSortDescending(list, first_index, last_index,
                      [key_column](const std::string& element) {
                        return LowerCaseText(KeyFrom(element, key_column));
                      });
  ReverseRange(list, first_index, last_index);
}

}  // namespace orvane
