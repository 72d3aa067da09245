// BinarySearch: finds a key in a list sorted ascending by character code, or
// tells where it would have to be inserted. Positions count from 1: the list
// holds positions 1 .. n in its elements 0 .. n-1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Binary search of records[0 .. n-1] by word_of(record), a string_view.
// Found: returns true with *position the 1-based position. Not found:
// returns false with *position = -(insertion position): -1 before the first
// element, -(n + 1) after the last.
template <class Record, class WordOf>
bool FindInSorted(std::string_view key, const std::vector<Record>& records,
                  std::int32_t n, const WordOf& word_of,
                  std::int32_t* position) {
  // A count beyond the records (a caller's mistake) searches what exists.
  if (n > static_cast<std::int64_t>(records.size())) {
    n = static_cast<std::int32_t>(records.size());
  }
  if (n <= 0 || key < word_of(records[0])) {
    *position = -1;
    return false;
  }
  if (key > word_of(records[n - 1])) {
    *position = -(n + 1);
    return false;
  }
  if (n == 1) {
    *position = 1;
    return true;
  }
  // Invariant: the key sorts after position low - 1 and before high + 1.
  std::int32_t low = 1;
  std::int32_t high = n;
  std::int32_t mid = n / 2;
  while (low <= high) {
    std::string_view here = word_of(records[mid - 1]);
    if (key == here) {
      *position = mid;
      return true;
    }
    if (key < here) {
      high = mid - 1;
    } else {
      low = mid + 1;
    }
    mid = low + (high - low) / 2;
  }
  *position = -low;
  return false;
}

// Binary search of list[0 .. n-1], comparing key with each element from its
// 1-based key_column on.
bool FindInList(std::string_view key, const std::vector<std::string>& list,
                std::int32_t n, std::int32_t key_column,
                std::int32_t* position);

}  // namespace orvane
