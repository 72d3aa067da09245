// The count line of the index text: one per word number, the word's score
// in each of the N indexed files, from file 1 to file N. A run of k >= 2
// zero scores is written "-k", a single zero "0", a score (1 to 255) as its
// digits; the items are joined by commas and the line is quoted. The
// Index Module writes the lines; the Search Module reads them back to
// rebuild the data file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/common/records.h"
#include "engine/format/index_text.h"

namespace orvane {

// The most characters a count line of that many scores above 0 takes,
// without its quotes.
std::size_t MostCountLineCharacters(std::size_t cells, std::uint32_t num_files);

// Writes the count line of one row, without its quotes, from at on and
// returns its end. The row is given by its scores above 0 and their file
// indexes (0-based), in ascending file order.
// REQUIRES: room for MostCountLineCharacters(cells, num_files).
char* WriteCountLine(const std::uint32_t* file_indexes,
                     const std::uint8_t* scores, std::size_t cells,
                     std::uint32_t num_files, char* at);

// The item of a count line as read back: the text between its quotes (the
// whole line when it is not quoted, up to its first comma).
std::string_view CountLineField(std::string_view line);

// Expands the count line of word_number into its scores, calling
// on_score(file_index, score) for each score above 0 in file order, the
// file index a std::uint32_t. Every line must give exactly files scores,
// each 0 to 255. Returns an empty text, or the damage found
// (IndexFileDamaged).
template <class OnScore>
std::string WalkCountLine(std::string_view line, std::uint32_t files,
                          std::int32_t word_number, const OnScore& on_score) {
  std::string_view field = CountLineField(line);
  const std::int64_t n = files;
  std::int64_t p = 0;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = field.find(',', start);
    std::string_view item = field.substr(start, comma == std::string_view::npos
                                                    ? std::string_view::npos
                                                    : comma - start);
    std::int64_t value = LeadingNumber(item);
    if (value < 0) {
      p += -static_cast<std::int64_t>(value);
      if (p > n) break;
    } else {
      if (value > 255) {
        return IndexFileDamaged("the count line of word number " +
                                std::to_string(word_number) +
                                " holds the score " + std::to_string(value));
      }
      if (p >= n) {
        p = n + 1;
        break;
      }
      if (value > 0) {
        on_score(static_cast<std::uint32_t>(p),
                 static_cast<std::uint8_t>(value));
      }
      ++p;
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (p != n) {
    return IndexFileDamaged("the count line of word number " +
                            std::to_string(word_number) + " holds " +
                            (p > n ? "more" : "fewer") + " than " +
                            std::to_string(files) + " scores");
  }
  return std::string();
}

}  // namespace orvane
