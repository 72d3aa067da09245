// QuickSort: the in-place quicksort that serves every ordered list of the
// program, with its exact handling of equal keys (it does not keep them in
// their previous order, and the ascending sorts reverse a descending sort).
// Indexes count from 0; a range is first_index .. last_index inclusive.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace orvane {

// Sorts list[first_index .. last_index] descending by key(element), where
// key returns something comparable with < and > (compared by character
// code for strings). Elements outside the range are not touched.
template <class T, class KeyFn>
void QuickSortDescending(std::vector<T>& list, int first_index, int last_index,
                         const KeyFn& key) {
  while (first_index < last_index) {
    int i = first_index;
    int j = last_index;
    // The pivot is a copy: a key that views into an element would change
    // under it when elements are swapped.
    using Key = std::decay_t<decltype(key(list[first_index]))>;
    using Pivot = std::conditional_t<std::is_same_v<Key, std::string_view>,
                                     std::string, Key>;
    const Pivot pivot(key(list[first_index + (last_index - first_index) / 2]));
    while (i <= j) {
      while (i < last_index && key(list[i]) > pivot) ++i;
      while (j > first_index && key(list[j]) < pivot) --j;
      if (i <= j) {
        if (i < j) std::swap(list[i], list[j]);
        ++i;
        --j;
      }
    }
    // Recurse into the smaller partition and loop on the larger one, so the
    // stack stays shallow on any input; the result is the same as sorting
    // first .. j and then i .. last.
    if (j - first_index < last_index - i) {
      if (first_index < j) QuickSortDescending(list, first_index, j, key);
      first_index = i;
    } else {
      if (i < last_index) QuickSortDescending(list, i, last_index, key);
      last_index = j;
    }
  }
}

// Swaps list[first + k] and list[last - k] while first + k < last - k.
template <class T>
void ReverseRange(std::vector<T>& list, int first_index, int last_index) {
  for (int a = first_index, b = last_index; a < b; ++a, --b) {
    std::swap(list[a], list[b]);
  }
}

// key_column is the 1-based character position at which each element's sort
// key begins; every caller passes 1 (the whole element).
void SortDescending(std::vector<std::string>& list, int first_index,
                    int last_index, int key_column = 1);
// SortDescending, then ReverseRange.
void SortAscending(std::vector<std::string>& list, int first_index,
                   int last_index, int key_column = 1);
// Descending with the keys folded by LowerCaseText when fold_case, then
// ReverseRange. The elements themselves move unchanged.
void SortAscendingFolded(std::vector<std::string>& list, int first_index,
                         int last_index, bool fold_case, int key_column = 1);

}  // namespace orvane
