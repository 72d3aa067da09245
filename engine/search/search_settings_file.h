// Search Module settings files (*.usrs): sixteen lines that hold the search
// options, the index file, the top folder, the single file and the last
// search words, in the delimited style of the program's own files; a
// seventeenth line, written only when the scores of each file are to be
// shown, keeps that option. "Save
// for next run" writes tavos.usrs in the application-data folder, which the
// window loads when it opens.
#pragma once

#include <string>
#include <string_view>

#include "engine/common/status.h"
#include "engine/search/search_settings.h"

namespace orvane {

inline constexpr std::string_view kSearchSettingsHeader =
    "Tavora -- Settings for Search Module";
inline constexpr std::string_view kDefaultSearchSettingsFile = "tavos.usrs";

// tavos.usrs in the program's application-data folder (created when
// missing).
std::string DefaultSearchSettingsPath();

// The name proposed by the save dialog: the index file's name without its
// folder and its "_index.tavo" ending, followed by ".usrs"; empty when no
// index file is named.
std::string ProposedSettingsFileName(std::string_view index_file);

// Writes the sixteen lines to path, replacing the file only once it is
// complete. Refused, naming the field, when a quoted field holds a double
// quote (it would end the field early on reading); Failed with "Error when
// attempting to save settings: " and the description when the file cannot
// be written. The search words (line 16) are written as plain text; line 17
// only when settings.explain_scores is set.
Status WriteSearchSettingsFile(const std::string& path,
                               const SearchSettings& settings);

enum class SearchSettingsRead {
  kRead,        // every line present was read (missing lines: untouched)
  kStopped,     // a line held a value no control takes; reading stopped
  kForeign,     // the first line is not this module's header: nothing read
  kCannotOpen,  // the file cannot be read: nothing read
};

// Reads a settings file into *settings, line after line, exactly as
// stored: no check of folders or files here. Lines after a missing or
// refused one leave their settings as they were. The search words are the
// whole of line 16, commas and quotes included; a file without line 17
// leaves explain_scores as it was.
SearchSettingsRead ReadSearchSettingsFile(const std::string& path,
                                          SearchSettings* settings);

}  // namespace orvane
