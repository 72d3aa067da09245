// What the Search Module holds between its operations: the loaded index,
// the words of the last query with their score rows, the files found with
// their titles and descriptions, the flags by which the search, the
// reports and the listing hand over to each other (stop, sort after the
// search, words changed since the search), and the results box. The window
// owns one (through SearchModule); the search, the reports and the listing
// read and write it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/ports.h"
#include "engine/search/loaded_index.h"
#include "engine/search/search_ports.h"
#include "engine/text/extract_builder.h"

namespace orvane {

// The most files a search lists.
inline constexpr std::int16_t kMaxFilesFound = 500;

// One search word: its text (content), its word number in the lexicon (-1
// when it is not there) and, once read, its row of scores (entry k - 1 for
// file number k).
struct SearchWordEntry {
  std::string strWord;
  std::int32_t lngWordNumber = -1;
  std::vector<std::uint8_t> row;
};

struct SearchState {
  explicit SearchState(ViewState& view) : results(view) {}

  LoadedIndex index;

  // The words of the last query (content, lower case), stems expanded, and
  // their entries.
  std::vector<std::string> strSearchWords;
  std::vector<SearchWordEntry> search_words;

  // The combined score of each file for the last query (entry k - 1 for
  // file number k); 0: no match. Summed in 32 bits.
  std::vector<std::int32_t> intFileMatchCounts;

  // The files found, in listing order: relative paths, what GetHtmlTitle
  // gave for each (content or a status text), and their descriptions when
  // asked for.
  std::vector<std::string> strFilesFound;
  std::vector<std::string> strFileTitles;
  std::vector<std::string> strFileDescriptions;
  std::int16_t intNumFilesFound = 0;

  bool blnTopFolderChecked = false;
  bool blnSortRequestedAfterSearch = false;
  bool blnSearchWordsChanged = false;
  bool blnStop = false;
  // Most extracts per file in a report; -1: no limit.
  std::int16_t intMaxNumExtracts = -1;
  // Set by "Report ->" while its caption reads "Stop".
  bool report_stop = false;

  // The captions of the Search and "Report ->" buttons as the engine last
  // set them.
  std::string search_button_caption = "Search";
  std::string report_button_caption = "Report ->";
  // The Search Module window's caption: message titles and the HTML page.
  std::string window_caption;

  ExtractBuilder extract_builder;
  ResultsBox results;
};

}  // namespace orvane
