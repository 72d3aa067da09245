// The files found by a search as the window shows them: each one's full
// path with its HTML title or the opening words of its text in the results
// box, its title and description kept for the reports; the check of the
// maximum number of extracts, and the checks of the "Report ->" button.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/files/file_stamp.h"
#include "engine/format/index_store.h"

#include "engine/search/search_ports.h"
#include "engine/search/search_settings.h"
#include "engine/search/search_state.h"
#include "engine/text/markup.h"

namespace orvane {

// What the results box shows of a found file: its title, or the first
// characters of its text, and for the reports its description, at most
// this long.
inline constexpr int kFoundFileTextLength = 80;
inline constexpr int kFoundFileDescriptionLength = 6144;

// Shows found file listing_index (0-based) in the results box (emptied
// first for the first file) and keeps its title and, when descriptions are
// asked for, its description. Returns true to go on listing. The file's
// start is read through head (of the file's full path), which the caller
// has already opened; or, when the index keeps the file's texts and stored
// says the file is unchanged since, with those: the file is not read, and
// head may be null.
// REQUIRES: state->strFilesFound holds listing_index.
bool ShowFoundFile(std::int32_t listing_index, const SearchSettings& settings,
                   SearchState* state, SearchPorts& ports, FileHead* head,
                   const IndexedFile* stored = nullptr);

// The file as the index keeps it (file, from the store) when its texts are
// kept and the file now has the size and time it had when indexed: now as
// a stat has just found it, or one stat of full_path; nothing otherwise: it
// must be read.
std::optional<IndexedFile> UnchangedFile(const IndexedFile& file,
                                         const std::string& full_path);
std::optional<IndexedFile> UnchangedFile(const IndexedFile& file,
                                         const FileStamp& now);

// Checks txbMaxNumExtracts (trimmed and written back): empty means no limit,
// otherwise 1 to 9999. Sets state->intMaxNumExtracts and returns true when
// the text is acceptable; shows the refusal otherwise. from_search picks
// the messages' title (the Search button's caption, or "Report").
bool ValidateMaxNumExtracts(bool from_search, SearchSettings* settings,
                            SearchState* state, SearchPorts& ports);

// The checks of "Report ->" before a report of the last search: index file
// and top folder given, files found, search words and sorting unchanged
// since, the maximum number of extracts valid. Shows the refusal and
// returns false when a report cannot be made.
bool CheckReportRequest(SearchSettings* settings, SearchState* state,
                        SearchPorts& ports);

// "Please select an index file" and the like, titled "<what> not specified".
// what is "Index file" or "Top folder".
void ShowNotSpecified(Prompter& prompter, std::string_view what);

}  // namespace orvane
