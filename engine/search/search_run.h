// The search run: each search word is looked up in the lexicon, its
// postings (the files that hold it, with its score in each) are read from
// the store, and the postings are combined per file by the search type, so
// that a search costs what its words hold, not the number of files; exact
// phrases are confirmed by reading the candidate files. Up to 500 matching
// files that exist under the top folder are listed: the first in index
// order, or the highest-scoring of all by decreasing score.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/search/loaded_index.h"
#include "engine/search/search_ports.h"
#include "engine/search/search_settings.h"
#include "engine/search/search_state.h"

namespace orvane {

// The word number of word in the loaded index's lexicon, or -1.
// REQUIRES: an index is loaded.
std::int32_t FindWordRow(const LoadedIndex& index, std::string_view word);

// True when some indexed file exists under the top folder; entries whose
// last ten characters, lower-cased, are "index.html" prove nothing and are
// passed over. Sets state->blnTopFolderChecked when one is found.
bool CheckTopFolder(const SearchSettings& settings, SearchState* state);

bool IsFileCountLimitReached(const SearchState& state);

// The found-files label after a search that listed count files: "Number
// of files found with matches: " and the count, or in the single-file mode
// "Found" or "Not found".
std::string FoundFilesLabel(bool single_file, std::int32_t count);
// The count label after a search, as the window and the command line
// show it: FoundFilesLabel's text with FoundFilesCountText's count,
// followed by what changed among the files found (ChangeCountsText).
std::string FoundFilesLine(bool single_file, const SearchState& state);
// The number of files found as the label and the reports show it: the
// number listed; once the list is full, the number that matched in all
// and the number listed ("14,286 (500 listed)"), or for a sorted "Exact
// phrase" the number found and the number not read ("500 (1,234 more not
// checked)").
std::string FoundFilesCountText(const SearchState& state);

// The no-match text of the mode and search type, in the results box.
void DisplayNoFilesFound(const SearchSettings& settings, SearchState* state);

enum class SearchRunOutcome {
  kFinished,  // the files found are listed (possibly none)
  kQuit,      // the application is quitting; the run ended at once
  kFailed,    // the store could not be read (a message was shown)
};

// The search run over state->strSearchWords (checked by CheckQuery).
// Lists the files found in the results box, each also told to
// ports.progress (FileFound, and Found at the end), sets lblNumFilesFound
// and the Search button's caption ("Stop" from the start of the scoring),
// and leaves the found files, titles and descriptions in *state for the
// reports. A click on Stop while it runs sets state->blnStop.
// REQUIRES: state->index.blnDataFileReady.
SearchRunOutcome RunSearch(const SearchSettings& settings, SearchState* state,
                           SearchPorts& ports);

}  // namespace orvane
