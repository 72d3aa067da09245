#include "engine/text/sorting.h"

#include "engine/text/charset.h"

namespace orvane {

namespace {

// Pulls a range into the list's bounds, so that a range that runs past the
// list (a wrong count from a caller) sorts what exists instead of reading
// and writing outside the list.
void ClampRange(const std::vector<std::string>& list, int* first_index,
                int* last_index) {
  if (*first_index < 0) *first_index = 0;
  int last_valid = static_cast<int>(list.size()) - 1;
  if (*last_index > last_valid) *last_index = last_valid;
}

std::string_view KeyFrom(const std::string& element, int key_column) {
  std::size_t from = key_column > 1 ? static_cast<std::size_t>(key_column - 1)
                                    : 0;
  return from >= element.size() ? std::string_view()
                                : std::string_view(element).substr(from);
}

}  // namespace

void SortDescending(std::vector<std::string>& list, int first_index,
                    int last_index, int key_column) {
  ClampRange(list, &first_index, &last_index);
  QuickSortDescending(list, first_index, last_index,
                      [key_column](const std::string& element) {
                        return KeyFrom(element, key_column);
                      });
}

void SortAscending(std::vector<std::string>& list, int first_index,
                   int last_index, int key_column) {
  ClampRange(list, &first_index, &last_index);
  SortDescending(list, first_index, last_index, key_column);
  ReverseRange(list, first_index, last_index);
}

void SortAscendingFolded(std::vector<std::string>& list, int first_index,
                         int last_index, bool fold_case, int key_column) {
  ClampRange(list, &first_index, &last_index);
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
