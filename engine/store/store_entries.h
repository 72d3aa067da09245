// The values that go into a store file and come out of it: a file of the
// file table, a word's score in a file, a word of the lexicon.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvane {

// One file of the file table. The texts are views: into the caller's
// strings when given to the writer, into the store's mapping when read.
struct StoreFileEntry {
  std::string_view path;         // relative to the top folder (path bytes)
  std::uint64_t size = 0;        // bytes, when the run read the file
  std::int64_t mtime_seconds = 0;         // modification time, since 1970
  std::uint32_t mtime_nanoseconds = 0;    // 0 to 999,999,999
  // Only the path is known: the file was missing when the run reached it,
  // or the store was made from an index text, which holds no more. Size,
  // time and texts are then empty, and a search reads the file instead.
  bool path_only = false;
  // What the results box shows for the file: the title as GetHtmlTitle
  // gives it (a status text such as "Not HTML file" included), the first
  // text of a file that is not HTML, and the description (content bytes).
  std::string_view title;
  std::string_view first_text;
  std::string_view description;
};

// A word's score in the file being added: the word's index (its word
// number - 1, numbered in order of first appearance) and the score, 1 to
// 255.
struct StoreScore {
  std::uint32_t word_index = 0;
  std::uint8_t score = 0;
};

// A word of the lexicon and its word number (1 to W).
struct StoreWord {
  std::string_view word;  // content bytes
  std::int32_t word_number = 0;
};

}  // namespace orvane
