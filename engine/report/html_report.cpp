#include "engine/report/html_report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/common/cp1252.h"
#include "engine/shell/shell.h"
#include "engine/files/folder.h"
#include "engine/report/html_text.h"
#include "engine/report/report_common.h"
#include "engine/search/score_explanation.h"
#include "engine/search/search_run.h"
#include "engine/search/search_controls.h"
#include "engine/text/entities.h"
#include "engine/text/file_checks.h"
#include "engine/text/markup.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

constexpr std::string_view kFontFace =
    "Trebuchet MS,Arial,Tahoma,Verdana,Sans-serif,Helvetica";

// The page's lines, each ending in CR LF, written as they are produced.
// The first failure of the system is kept: its reason is what the user is
// told.
class PageWriter {
 public:
  explicit PageWriter(const std::string& path)
      : file_(std::fopen(path.c_str(), "wb")) {
    if (file_ == nullptr) error_ = errno;
  }
  ~PageWriter() { Close(); }
  PageWriter(const PageWriter&) = delete;
  PageWriter& operator=(const PageWriter&) = delete;
  bool is_open() const { return file_ != nullptr; }
  // text, then CR LF.
  void Line(std::string_view text) {
    Piece(text);
    Piece("\r\n");
  }
  // text without a line end.
  void Piece(std::string_view text) {
    if (file_ == nullptr || error_ != 0) return;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
      error_ = errno != 0 ? errno : EIO;
    }
  }
  // Flushes and closes the file. Returns 0, or the errno of the first
  // failure since it was opened.
  int Close() {
    if (file_ != nullptr) {
      if (std::fclose(file_) != 0 && error_ == 0) error_ = errno;
      file_ = nullptr;
    }
    return error_;
  }
  // The errno of the first failure, 0 when none.
  int error() const { return error_; }

 private:
  std::FILE* file_;
  int error_ = 0;
};

// An extract as the page shows it: its entities and accented letters as
// named entities, the "<b>" marks kept, dashes and quotes made safe.
std::string CleanExtract(const std::string& entry) {
  std::string text = entry;
  ReplaceAllIn(text, "&quot;", "\"");
  EncodeEntities(text);
  ReplaceAllIn(text, "&amp;#", "&#");
  ReplaceAllIn(text, "&#151;", "&#8212;");
  ReplaceAllIn(text, "&acirc;\x80\x93", "&#8212;");
  ReplaceAllIn(text, "&#160;", "&nbsp;");
  ReplaceAllIn(text, "\"", "&quot;");
  ReplaceAllIn(text, "&amp;gt;", "&gt;");
  return text;
}

std::string Quoted(std::string_view value) {
  return "\"" + std::string(value) + "\"";
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.string();
}

void WriteHead(PageWriter& page, const SearchState& state) {
  page.Line("<html><head>");
  // The page is written in Windows-1252, the code page of its content
  // characters (extracts, titles and descriptions, whatever the encoding
  // of the files they come from); declared, it shows right in every
  // browser.
  page.Line("<meta charset=" + Quoted("windows-1252") + ">");
  page.Line("<title>Search results</title>");
  page.Line("</head><body bgcolor=" + Quoted("#F0F8F8") + ">");
  page.Line("<blockquote><font face=" + Quoted(kFontFace) + ">\r\n");
  page.Line("<center><table border=" + Quoted("6") +
            " cellpadding=" + Quoted("6") + ">\r\n");
  page.Line("<tr><td align=" + Quoted("center") + ">");
  page.Line("<font face=" + Quoted(kFontFace) + ">\r\n");
  page.Line("<font size=" + Quoted("-1") + ">");
  page.Line(DisplayToContentLossy(state.window_caption) + "</font><br>");
  page.Line("<font size=" + Quoted("+1") + ">");
  page.Line("<b>Search Results</b></font>");
  page.Line("</font></td></tr></table></center><br>\r\n");
}

void WriteQueryBox(PageWriter& page, const SearchSettings& settings,
                   SearchState* state) {
  const std::size_t num_words = state->strSearchWords.size();
  const bool all_files = !settings.optSearchSingleFile;
  const bool show_found = all_files && state->index.intNumFiles >= 2;
  const std::string found = FoundFilesCountText(*state);
  page.Line("<center><table border=" + Quoted("0") + " cellpadding=" +
            Quoted("4") + " cellspacing=" + Quoted("0") + ">");
  page.Line("<tr><td align=" + Quoted("right") + " valign=" + Quoted("top") +
            " width=" + Quoted("25%") + ">Search&nbsp;word" +
            (num_words > 1 ? "s" : "") + ":</td>");
  page.Line("<td colspan=" + Quoted("3") + " align=" + Quoted("left") +
            "><b>" + HtmlQueryText(DisplayToContentLossy(settings.txbSearchWords)) +
            "</b></td></tr>");
  if (settings.txbSearchWords.find('*') != std::string::npos) {
    std::optional<std::string> expanded = ExpandedWordsList(state);
    if (!expanded) {
      page.Line("<tr><td align=" + Quoted("right") + ">There are</td>");
      page.Line("<td colspan=" + Quoted("3") + " align=" + Quoted("left") + ">");
      page.Line("more than 20 actual search words.");
      page.Line("</td></tr>");
    } else {
      page.Line("<tr><td align=" + Quoted("right") + " valign=" +
                Quoted("top") + ">Expanded:</td>");
      page.Line("<td colspan=" + Quoted("3") + " align=" + Quoted("left") +
                ">" + HtmlQueryText(*expanded) + "</td></tr>");
    }
  }
  if (num_words == 1) {
    if (show_found) {
      page.Line("<tr><td align=" + Quoted("right") + ">Files found:</td>");
      page.Line("<td colspan=" + Quoted("2") + "><b>" + found + "</b></td></tr>");
    }
  } else if (num_words > 1) {
    page.Line("<tr><td align=" + Quoted("right") + ">Search type:</td>");
    page.Line("<td align=" + Quoted("left") + "><b>" +
              std::string(SearchTypeLabel(settings.cboSearchType)) +
              "</b></td>");
    page.Line("<td width=" + Quoted("16") + ">&nbsp;</td>");
    if (show_found) {
      page.Line("<td align=" + Quoted("left") + ">Files found: <b>" + found +
                "</b></td>");
    } else {
      page.Line("<td>&nbsp;</td>");
    }
    page.Line("</tr>");
  }
  if (settings.optSearchSingleFile && !state->strFilesFound.empty()) {
    // This row has no line end and no closing "</tr>": the table's end
    // follows on the same line.
    page.Piece("<tr><td align=" + Quoted("right") + ">File:</td>");
    page.Piece("<td colspan=" + Quoted("3") + " align=" + Quoted("left") +
               "><b>" +
               HtmlPathText(settings.txbTopFolder + state->strFilesFound[0]) +
               "</b></td>");
  }
  if (state->intNumFilesFound > 1 && settings.chkSortMatches) {
    page.Line("<tr><td colspan=" + Quoted("3") + " align=" + Quoted("center") +
              ">Results displayed in order of decreasing " +
              std::string(state->ranked_by_relevance
                              ? "relevance"
                              : "search&nbsp;word&nbsp;occurrence") +
              ".</td></tr>");
  }
  page.Line("</table><p></center>\r\n");
}

}  // namespace

std::string HtmlReportNotOpenedText(std::string_view path) {
  return "The HTML report was written to " + std::string(path) +
         ",\r\nbut no web browser could be started to show it.\r\n"
         "Open that file in a web browser of your choice.";
}

std::string HtmlReportPath(const SearchSettings& settings) {
  if (!settings.html_report_path.empty()) return settings.html_report_path;
  return GetAppDataFilePath("tavo.htm", kAppDataSubfolder);
}

std::string WriteHtmlReport(const SearchSettings& settings, SearchState* state,
                            SearchPorts& ports) {
  const std::string path = HtmlReportPath(settings);
  bool cut_somewhere = false;
  const std::string saved_results = state->results.text();
  state->results.Set("Now generating HTML report ..");
  state->results.Repaint();

  PageWriter page(path);
  if (!page.is_open()) {
    state->results.Set(saved_results);
    ports.prompter.ShowMessage(
        MessageIcon::kError, "Error",
        "The report file " + path + " cannot be created: " +
            std::strerror(page.error()) + ".");
    return std::string();
  }
  WriteHead(page, *state);
  WriteQueryBox(page, settings, state);

  SetSearchControlsEnabled(ports.view, false, true, true, true);
  ports.view.SetEnabled("txbFiles", true);
  ports.view.SetEnabled("cmdGenerateHTML", true);
  ports.view.SetEnabled("cmdQuit", true);
  state->report_button_caption = "Stop";
  ports.view.SetText("cmdGenerateHTML", "Stop");
  ports.view.Repaint();
  state->report_stop = false;

  PrepareReportExtracts(settings, state);
  ExtractBuilder& builder = state->extract_builder;
  const std::string font_small = "<font size=" + Quoted("-1") + ">";
  for (std::int32_t i = 0; i < state->intNumFilesFound; ++i) {
    const auto at = static_cast<std::size_t>(i);
    state->results.Append(".");
    state->results.Repaint();
    const std::string full_path = settings.txbTopFolder + state->strFilesFound[at];
    const std::string title =
        at < state->strFileTitles.size() ? state->strFileTitles[at] : std::string();
    const bool changed =
        at < state->changes.changed.size() && state->changes.changed[at];
    page.Line("<a href=" + Quoted(HtmlFileLink(AbsolutePath(full_path))) +
              " target=" + Quoted("_blank") + ">" + HtmlTitleText(title) +
              "</a>" + (changed ? std::string(kChangedMark) : std::string()) +
              "<br>");
    if (settings.chkDisplayDescriptions && at < state->strFileDescriptions.size()) {
      const std::string& description = state->strFileDescriptions[at];
      if (description.size() > 3 && description != kNotHtmlFile) {
        page.Line(font_small + "<I>Description:</I> " +
                  HtmlTitleText(description) + "</font><br>");
      }
    }
    if (settings.chkDisplayFilepaths) {
      page.Line(font_small + HtmlPathText(full_path) + "</font><br>");
    }
    if (settings.explain_scores && at < state->found_file_indexes.size()) {
      page.Line(font_small + HtmlQueryText(ScoreExplanation(*state, at)) +
                "</font><br>");
    }
    if (!builder.BuildExtracts(full_path)) {
      // The file vanished or cannot be read since the search.
      page.Line(font_small + "The file can no longer be read.</font><br>");
    }
    const std::vector<std::string>& extracts = builder.extracts();
    if (!extracts.empty()) {
      page.Line(font_small);
      const std::vector<std::int32_t>& pages = builder.extract_pages();
      for (std::size_t k = 0; k < extracts.size(); ++k) {
        // An extract of a document with pages names its page, and its link
        // opens the document there.
        std::string page_link;
        if (k < pages.size() && pages[k] > 0) {
          const std::string number = std::to_string(pages[k]);
          page_link = "<a href=" +
                      Quoted(HtmlFileLink(AbsolutePath(full_path)) +
                             "#page=" + number) +
                      " target=" + Quoted("_blank") + ">Page " + number +
                      "</a>: ";
        }
        page.Line(page_link + CleanExtract(extracts[k]) + "<br>");
        if (static_cast<std::int64_t>(k) + 1 == state->intMaxNumExtracts) break;
      }
      bool cut = false;
      std::string count_line =
          ExtractCountLine(state->intMaxNumExtracts, extracts.size(), &cut);
      if (cut) cut_somewhere = true;
      if (!count_line.empty()) page.Line(count_line + "<br>");
      page.Line("<br></font>");
    } else {
      page.Line("<br>");
    }
    // Quitting stops the report as Stop does: the page is not opened.
    if (!LetWindowSystemRun(ports.yield, ports.launcher, state->report_stop)
             .KeepGoing()) {
      state->report_stop = true;
      break;
    }
  }

  SetSearchControlsEnabled(ports.view, true, true, true, true);
  state->report_button_caption = "Report ->";
  ports.view.SetText("cmdGenerateHTML", "Report ->");
  ports.view.Repaint();

  if (state->report_stop) {
    page.Line("<P>");
    page.Line("[Generation of report was stopped.]<P>\r\n");
  } else if (cut_somewhere) {
    page.Line(CutExtractsSentence(state->intMaxNumExtracts) + ".\r\n");
  } else {
    page.Line("All occurrences are displayed.\r\n");
  }
  const std::string notes = ChangeNotes(state->changes);
  if (!notes.empty() && !state->report_stop) {
    page.Line("<P>" + ReplaceAll(HtmlPathText(notes), "\r\n", "<br>\r\n"));
  }
  page.Line("</font></blockquote>\r\n");
  page.Line("</BODY></HTML>\r\n");
  const int error = page.Close();
  state->results.Set(saved_results);
  state->results.Repaint();

  bool stopped = state->report_stop;
  state->report_stop = false;
  if (error != 0) {
    // A partial page would look like a report of fewer files; it goes,
    // unless the path is no file of ours (a device).
    std::error_code ec;
    const bool removed = std::filesystem::is_regular_file(path, ec) &&
                         std::filesystem::remove(path, ec);
    ports.prompter.ShowMessage(
        MessageIcon::kError, "Error",
        "The report file " + path + " could not be written completely (" +
            std::strerror(error) + ")" +
            (removed ? " and has been deleted." : "."));
    return std::string();
  }
  if (!stopped && settings.open_html_report &&
      !Shell::OpenDocument(ports.opener, ports.prompter, path, false)) {
    // The page is there all the same: the user is told where.
    ports.prompter.ShowMessage(MessageIcon::kWarning, "Report",
                               HtmlReportNotOpenedText(path));
  }
  return path;
}

}  // namespace orvane
