#include "engine/report/text_report.h"

#include <filesystem>
#include <system_error>

#include "engine/common/cp1252.h"
#include "engine/report/report_common.h"
#include "engine/search/search_run.h"
#include "engine/text/entities.h"
#include "engine/text/markup.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

// Files longer than this show "Searching file ..." while their extracts
// are cut.
constexpr std::uintmax_t kSearchingNoteSize = 10240;

// Replaces every occurrence of from, compared without regard to letter
// case (from is ASCII).
std::string ReplaceIgnoringCase(std::string_view text, std::string_view from,
                                std::string_view to) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    bool match = i + from.size() <= text.size();
    for (std::size_t k = 0; match && k < from.size(); ++k) {
      char a = text[i + k];
      char b = from[k];
      if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
      if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
      match = a == b;
    }
    if (match && !from.empty()) {
      out.append(to);
      i += from.size();
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

std::string CleanTitle(const std::string& stored) {
  std::string title = stored;
  DecodeEntities(title);
  title = ReplaceAll(title, "&quot;", "\"");
  title = ReplaceAll(title, "&#8217;", "'");
  title = ReplaceAll(title, "&#151;", "--");
  return title;
}

// The text of an extract as the report shows it: without the bold marks,
// with the quotes and dashes that entities or UTF-8 left in it made plain.
std::string CleanExtract(const std::string& entry) {
  std::string text = ReplaceAll(entry, "<b>", "");
  ReplaceAllIn(text, "</b>", "");
  // The forms compared without regard to case all begin with "&".
  if (text.find('&') != std::string::npos) {
    text = ReplaceIgnoringCase(text, "&quot;", "\"");
    text = ReplaceIgnoringCase(text, "&#8216;", "'");
    text = ReplaceIgnoringCase(text, "&#8217;", "'");
  }
  ReplaceAllIn(text, "&#151;", "--");
  ReplaceAllIn(text, "\xE2\x80\x93", "--");
  ReplaceAllIn(text, "&gt;", ">");
  return text;
}

// The report's "keep going?" after a unit of work: not when the user quit
// or stopped it, nor when the display that shows it was closed.
bool KeepWriting(SearchState* state, SearchPorts& ports) {
  return LetWindowSystemRun(ports.yield, ports.launcher, state->report_stop)
             .KeepGoing() &&
         ports.display.IsVisible();
}

// The notes on changed and vanished files, one line each.
void OutputChangeNotes(const FoundFileChanges& changes, LargeDisplay& display) {
  std::string notes = ChangeNotes(changes);
  if (notes.empty()) return;
  display.Output("", 1, false);
  std::size_t from = 0;
  for (std::size_t end; (end = notes.find("\r\n", from)) != std::string::npos;
       from = end + 2) {
    display.Output(notes.substr(from, end - from), 1, false);
  }
}

}  // namespace

bool TextReportWantsWideDisplay(const SearchSettings& settings) {
  return settings.cboSizeOfExtract + 1 >= 4;
}

void WriteTextReport(const SearchSettings& settings, SearchState* state,
                     SearchPorts& ports) {
  LargeDisplay& display = ports.display;
  display.SetReadOnly(true);
  display.SetCaption("Search results");
  display.SetBufferFullMessage("THE REPORT BUFFER IS FULL.");
  display.Clear();
  display.Show();
  bool cut_somewhere = false;
  state->report_stop = false;

  // The header.
  const std::string& query = settings.txbSearchWords;
  const std::size_t num_words = state->strSearchWords.size();
  display.Output(std::string(num_words > 1 ? "Search words: " : "Search word: ") +
                     query,
                 1, false);
  if (query.find('*') != std::string::npos) {
    std::optional<std::string> expanded = ExpandedWordsList(state);
    display.Output(expanded ? "Expanded: " + ContentToDisplay(*expanded)
                            : "There are more than 20 actual search words.",
                   2, false);
  }
  if (num_words > 1) {
    display.Output("Search type: " +
                       std::string(SearchTypeLabel(settings.cboSearchType)),
                   1, false);
  }
  if (state->index.intNumFiles > 1 && !settings.optSearchSingleFile) {
    display.Output("Files found: " + FoundFilesCountText(*state),
                   1, false);
  }
  if (settings.optSearchSingleFile && !state->strFilesFound.empty()) {
    display.Output("File: " + settings.txbTopFolder + state->strFilesFound[0],
                   1, false);
  }
  if (state->intNumFilesFound > 1 && settings.chkSortMatches) {
    display.Output("", 1, false);
    display.Output(state->ranked_by_relevance
                       ? "Results displayed in order of decreasing relevance."
                       : "Results displayed in order of decreasing search "
                         "word occurrence.",
                   1, false);
  }
  display.Output("", 1, false);

  PrepareReportExtracts(settings, state);
  ExtractBuilder& builder = state->extract_builder;
  for (std::int32_t i = 0; i < state->intNumFilesFound; ++i) {
    const auto at = static_cast<std::size_t>(i);
    const std::string full_path = settings.txbTopFolder + state->strFilesFound[at];
    const std::string& title =
        at < state->strFileTitles.size() ? state->strFileTitles[at] : std::string();
    display.Output(ContentToDisplay(CleanTitle(title)), 1, false);
    if (settings.chkDisplayDescriptions && at < state->strFileDescriptions.size()) {
      const std::string& description = state->strFileDescriptions[at];
      if (description.size() > 3 && description != kNotHtmlFile) {
        display.Output("Description: " + ContentToDisplay(description), 1, false);
      }
    }
    const bool changed =
        at < state->changes.changed.size() && state->changes.changed[at];
    display.Output(changed ? full_path + std::string(kChangedMark) : full_path,
                   1, false);

    std::error_code ec;
    std::uintmax_t length = std::filesystem::file_size(full_path, ec);
    bool note = !ec && length > kSearchingNoteSize;
    if (note) display.ShowNote("Searching file ...");
    bool read = builder.BuildExtracts(full_path);
    if (note) display.RemoveNote();
    if (!read) {
      // The file vanished or cannot be read since the search.
      display.Output("The file can no longer be read.", 1, false);
    }

    const std::vector<std::string>& extracts = builder.extracts();
    if (!extracts.empty()) {
      for (std::size_t k = 0; k < extracts.size(); ++k) {
        if (!KeepWriting(state, ports)) return;
        const std::vector<std::int32_t>& pages = builder.extract_pages();
        const std::string page_name =
            k < pages.size() && pages[k] > 0
                ? "Page " + std::to_string(pages[k]) + ": "
                : std::string();
        display.Output(page_name + ContentToDisplay(CleanExtract(extracts[k])),
                       1, false);
        if (static_cast<std::int64_t>(k) + 1 == state->intMaxNumExtracts) break;
        if (display.ReportBufferFull()) return;
        display.ShowEnd();
      }
      bool cut = false;
      std::string count_line =
          ExtractCountLine(state->intMaxNumExtracts, extracts.size(), &cut);
      if (cut) cut_somewhere = true;
      if (!count_line.empty()) display.Output(count_line, 1, false);
      display.Output("", 1, true);
      display.ShowEnd();
    } else {
      display.Output("", 1, false);
    }
    if (!KeepWriting(state, ports) || display.ReportBufferFull()) return;
  }

  // The tail.
  if (cut_somewhere) {
    display.Output(CutExtractsSentence(state->intMaxNumExtracts) +
                       (state->intMaxNumExtracts == 1 ? "." : ".."),
                   1, false);
  } else {
    display.Output("All occurrences are displayed.", 1, false);
  }
  OutputChangeNotes(state->changes, display);
  display.ShowBeginning();
}

}  // namespace orvane
