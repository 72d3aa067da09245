// The classic pair's index text as the Search Module holds it: the file
// list, the lexicon and the project title read into memory (the count
// lines stay on disk, in the data file's rows).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// One lexicon word: its text (kept in ClassicIndex::lexicon_words) and its
// word number, the number of its count line and data-file row (1-based).
struct SearchLexiconEntry {
  std::uint32_t word_offset = 0;
  std::uint32_t word_length = 0;
  std::int32_t lngWordNumber = 0;
};

struct ClassicIndex {
  // Number of file-list entries, and the entries: the relative path of file
  // number k is strFileList[k - 1] (path bytes, as stored in the index).
  std::int32_t intNumFiles = 0;
  std::vector<std::string> strFileList;

  // Number of lexicon words and the lexicon in the index's order, which is
  // ascending by character code (the reader refuses any other order).
  std::int32_t lngNumWords = 0;
  std::vector<SearchLexiconEntry> lexicon;
  std::string lexicon_words;  // the words' bytes, one after another

  // The project title from the lexicon header (content text).
  std::string title;

  // Length in bytes of the index's plain text (the data file's fingerprint).
  std::int64_t text_length = 0;

  // The word of lexicon entry lexicon_index (0-based).
  std::string_view Word(std::size_t lexicon_index) const {
    const SearchLexiconEntry& e = lexicon[lexicon_index];
    return std::string_view(lexicon_words).substr(e.word_offset,
                                                  e.word_length);
  }

  // Rows of the data file: the Index Module reserves the row of word number
  // 1 even when no word was found.
  std::int64_t DataFileRows() const { return lngNumWords > 0 ? lngNumWords : 1; }
};

}  // namespace orvane
