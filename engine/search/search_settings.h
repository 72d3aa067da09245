// The Search Module's settings: the values of the controls of frmSearchMain
// that the search, the listing and the reports read. The window fills this
// plain value from its widgets (the command line fills it from flags); the
// engine reads it and changes it only where a rule changes a control (the
// search type switched by the query check, the maximum-extracts text that
// its check trims or empties), telling the view state as well.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// The items of cboSearchType; the value is the item's list position.
enum class SearchType : std::int16_t {
  kAnyWord = 0,
  kAllWords = 1,
  kExactPhrase = 2,
};

// Every search type, in list order.
inline constexpr SearchType kSearchTypes[] = {
    SearchType::kAnyWord, SearchType::kAllWords, SearchType::kExactPhrase};

// "Any word", "All words" or "Exact phrase".
std::string_view SearchTypeLabel(SearchType type);

struct SearchSettings {
  // Display text of the search words box (UTF-8), as typed.
  std::string txbSearchWords;
  SearchType cboSearchType = SearchType::kAllWords;

  // The index file's path and the top folder (folder form, ending in "/").
  std::string txbIndexFile;
  std::string txbTopFolder;
  // Single-file mode and the single file's full path.
  bool optSearchSingleFile = false;
  std::string txbSingleFile;

  bool chkSortMatches = false;
  // With chkSortMatches: the files are listed by relevance (rare words
  // weigh more, and a word's many occurrences less than their number)
  // instead of by the sum of the words' scores.
  bool sort_by_relevance = false;
  // Report on completion of a search, and its kind (HTML or text).
  bool chkGenerateHTML = true;
  bool optHTMLReport = true;
  bool chkDisplayDescriptions = true;
  bool chkDisplayFilepaths = false;
  bool chkOnQuitDeleteDataFile = false;
  // List position of cboSizeOfExtract: 0 to 8 for the items "1" to "9".
  std::int16_t cboSizeOfExtract = 4;
  // Text of txbMaxNumExtracts: empty for no limit, else 1 to 9999.
  std::string txbMaxNumExtracts;

  // Show under each found file its score for each search word and the
  // sum, in the results box and the HTML report.
  bool explain_scores = false;

  // Listing of indexed files: by folder, or alphabetically.
  bool optByFolder = false;

  // The project title shown in lblTitle[1] (display text): the loaded
  // index's title, or the one a settings file brought.
  std::string project_title;

  // Where the HTML report is written; empty for tavo.htm in the
  // application-data folder.
  std::string html_report_path;
  // Whether a finished HTML report is opened with the default program.
  bool open_html_report = true;
};

// Whether a sorted list ranks the files by relevance.
inline bool RanksByRelevance(const SearchSettings& settings) {
  return settings.chkSortMatches && settings.sort_by_relevance;
}

// The context size of an extract: ten times the selected size of extract.
int ExtractContextSize(const SearchSettings& settings);

}  // namespace orvane
