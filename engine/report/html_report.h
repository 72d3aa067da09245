// The HTML report of the last search: one page, tavo.htm in the
// application-data folder, with a link to every file found, its
// description and path when asked for, and the extracts round every
// occurrence with the search words in bold; opened with the default
// program once it is complete.
#pragma once

#include <string>

#include "engine/search/search_ports.h"
#include "engine/search/search_settings.h"
#include "engine/search/search_state.h"

namespace orvane {

// The page's path: settings.html_report_path, or tavo.htm in the
// application-data folder.
std::string HtmlReportPath(const SearchSettings& settings);

// The warning when the opener refused the written page: where it is.
std::string HtmlReportNotOpenedText(std::string_view path);

// Writes the page and, unless the user stopped it (state->report_stop, set
// by "Report ->" while it reads "Stop") or settings.open_html_report is
// off, opens it through ports.opener; a page the opener refuses is told
// with its path (HtmlReportNotOpenedText, titled "Report"). Returns the
// page's path, or an empty text when the page could not be written (a
// message was shown). The
// window's controls are enabled again and the button reads "Report ->"
// however it ends. Sorts state->strSearchWords when the query has stems.
std::string WriteHtmlReport(const SearchSettings& settings, SearchState* state,
                            SearchPorts& ports);

}  // namespace orvane
