// The text report of the last search, written line by line into the large
// display window: the query, the files found with their titles,
// descriptions and paths, the extracts round every occurrence and the note
// on extracts left out.
#pragma once

#include "engine/search/search_ports.h"
#include "engine/search/search_settings.h"
#include "engine/search/search_state.h"

namespace orvane {

// Writes the report into ports.display (cleared first, captioned "Search
// results"). Returns when the report is complete, when the display's text
// limit is reached, when the user has closed the display, or when the user
// quit or stopped the report (state->report_stop, which it clears first).
// Sorts state->strSearchWords when the query has stems.
void WriteTextReport(const SearchSettings& settings, SearchState* state,
                     SearchPorts& ports);

// True when the display is to be widened for the report (extract size 4
// or more).
bool TextReportWantsWideDisplay(const SearchSettings& settings);

}  // namespace orvane
