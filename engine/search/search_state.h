// What the Search Module holds between its operations: the loaded index,
// the words of the last query with their postings, the files found with
// their titles and descriptions, the flags by which the search, the
// reports and the listing hand over to each other (stop, sort after the
// search, words changed since the search), and the results box. The window
// owns one (through SearchModule); the search, the reports and the listing
// read and write it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/common/ports.h"
#include "engine/format/index_store.h"
#include "engine/search/file_changes.h"
#include "engine/search/loaded_index.h"
#include "engine/search/search_ports.h"
#include "engine/search/document_texts.h"
#include "engine/search/relevance.h"
#include "engine/text/extract_builder.h"

namespace orvane {

// The most files a search lists.
inline constexpr std::int32_t kMaxFilesFound = 500;

// One search word: its text (content), its word number in the lexicon (-1
// when it is not there) and, once read, its postings: the files that hold
// it with its score in each.
struct SearchWordEntry {
  std::string strWord;
  std::int32_t lngWordNumber = -1;
  Postings postings;
};

// A file's combined score for a query.
struct FileScore {
  std::uint32_t file_index = 0;  // file number - 1
  std::int32_t score = 0;        // above 0
};

struct SearchState {
  explicit SearchState(ViewState& view) : results(view) {}

  LoadedIndex index;

  // The words of the last query (content, lower case), stems expanded, and
  // their entries.
  std::vector<std::string> strSearchWords;
  std::vector<SearchWordEntry> search_words;
  // What each search word's score in a file adds to the file's score, in
  // query order: the score itself, or its relevance weight when the last
  // search ranked by relevance.
  std::vector<ScoreWeights> word_weights;
  bool ranked_by_relevance = false;

  // The files that match the last query with their combined scores
  // (summed in 32 bits), in file order; a file that is not here does not
  // match. As long as what the search found, not as the index. For a
  // sorted "Exact phrase" these are the files that hold every word: the
  // listing reads them for the phrase, best first.
  std::vector<FileScore> intFileMatchCounts;
  // The sorted listing's heap of the matches, best on top (working memory).
  std::vector<FileScore> best_first;

  // The files found, in listing order: relative paths, what GetHtmlTitle
  // gave for each (content or a status text), and their descriptions when
  // asked for.
  std::vector<std::string> strFilesFound;
  // The file index (file number - 1) of each file found, in listing order.
  std::vector<std::uint32_t> found_file_indexes;
  std::vector<std::string> strFileTitles;
  std::vector<std::string> strFileDescriptions;
  std::int32_t intNumFilesFound = 0;
  // Which of them changed after the index was made, the matching files
  // that no longer exist and the folders that changed.
  FoundFileChanges changes;
  // Once the list is full: the matching files past it (their existence
  // not checked) or, when files_past_list_unread, the files that hold
  // every word of a sorted "Exact phrase" but were not read for it. 0
  // when the list holds every match, or the search was stopped.
  std::int32_t files_past_list = 0;
  bool files_past_list_unread = false;

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
  // The documents' text that the extract builder reads (UseDocumentTexts),
  // and the reader that reads changed documents again (not owned; null:
  // the program's own pool of workers).
  std::unique_ptr<DocumentTexts> document_texts;
  DocumentReader* document_reader = nullptr;
};

}  // namespace orvane
