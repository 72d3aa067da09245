#include "engine/search/found_files.h"

#include <string>

#include "engine/common/cp1252.h"
#include "engine/common/program_texts.h"
#include "engine/files/file_stamp.h"
#include "engine/search/score_explanation.h"
#include "engine/text/charset.h"
#include "engine/text/entities.h"
#include "engine/text/markup.h"
#include "engine/text/utf_decoding.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

// Numbered UI texts of the found files and the report checks.
constexpr std::int16_t kTextWordsChanged = 66;
constexpr std::int16_t kTextSearchFirst = 68;
constexpr std::int16_t kTextByTheButtonAtLeft = 86;

constexpr std::string_view kCrLf = "\r\n";

// The title of a document as GetHtmlTitle gives a file's: its own title,
// or kNotHtmlFile with its first text (lines joined by blanks, at most
// max_length characters) in *first_text.
std::string DocumentTitle(const DocumentSourceText& document,
                          std::string* first_text, std::size_t max_length) {
  if (!document.title.empty()) return document.title;
  // The start is enough: a page's worth of blanks is rare.
  std::string text = document.text.substr(0, max_length * 16);
  if (document.decode_utf8) DecodeUtf8Text(text);
  for (char& c : text) {
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  }
  *first_text = TrimSpaces(CollapseSpaces(text)).substr(0, max_length);
  *first_text = TrimSpaces(*first_text);
  return std::string(kNotHtmlFile);
}

}  // namespace

std::optional<IndexedFile> UnchangedFile(const IndexedFile& file,
                                         const std::string& full_path) {
  if (!file.has_details) return std::nullopt;
  std::optional<FileStamp> now = StampOfFile(full_path);
  if (!now) return std::nullopt;
  return UnchangedFile(file, *now);
}

std::optional<IndexedFile> UnchangedFile(const IndexedFile& file,
                                         const FileStamp& now) {
  if (!file.has_details || !(now == FileStamp{file.size, file.modified_ns})) {
    return std::nullopt;
  }
  return file;
}

bool ShowFoundFile(std::int32_t listing_index, const SearchSettings& settings,
                   SearchState* state, SearchPorts& ports, FileHead* head,
                   const IndexedFile* stored) {
  const auto i = static_cast<std::size_t>(listing_index);
  const std::string full_path = settings.txbTopFolder + state->strFilesFound[i];
  if (state->strFileTitles.size() <= i) state->strFileTitles.resize(i + 1);
  if (state->strFileDescriptions.size() <= i) {
    state->strFileDescriptions.resize(i + 1);
  }
  std::string first_text;
  std::shared_ptr<const DocumentSourceText> document;
  // An unchanged file that the index took as text is no document: its
  // first bytes need no look.
  const bool indexed_as_text = stored != nullptr &&
                               state->document_texts != nullptr &&
                               state->document_texts->IndexedAsText(full_path);
  DocumentSource* documents = state->extract_builder.document_source();
  if (documents != nullptr && !indexed_as_text) {
    document = documents->TextOf(full_path);
  }
  if (document != nullptr) {
    // A document's title comes from its metadata, else its first text.
    state->strFileTitles[i] =
        DocumentTitle(*document, &first_text, kFoundFileTextLength);
  } else if (stored != nullptr) {
    state->strFileTitles[i] = stored->title;
    first_text = stored->first_text;
  } else {
    // The title and the description come from one read of the file's
    // start.
    state->strFileTitles[i] = head->Title(&first_text, kFoundFileTextLength);
  }
  const std::string& title = state->strFileTitles[i];

  // The stat made when the file was opened tells whether it changed; an
  // unchanged file has the size and time the index keeps.
  const std::optional<std::uint32_t> file_index =
      i < state->found_file_indexes.size()
          ? std::optional<std::uint32_t>(state->found_file_indexes[i])
          : std::nullopt;
  const std::optional<FileFacts> facts =
      stored != nullptr
          ? std::optional<FileFacts>(FileFacts{stored->size, stored->modified_ns})
          : head->facts();
  const bool changed =
      state->index.store != nullptr &&
      state->changes.Record(i, file_index, *state->index.store, facts);

  if (listing_index == 0) state->results.Clear();
  std::string entry = full_path;
  if (changed) entry += kChangedMark;
  entry += kCrLf;
  if (title != kNotHtmlFile) {
    std::string shown = title;
    DecodeEntities(shown);
    entry += ContentToDisplay(RemoveEntityText(shown));
  } else {
    entry += '"';
    entry += ContentToDisplay(first_text);
    entry += '"';
  }
  entry += kCrLf;
  if (settings.explain_scores && i < state->found_file_indexes.size()) {
    entry += ContentToDisplay(ScoreExplanation(*state, i));
    entry += kCrLf;
  }
  entry += kCrLf;
  state->results.Append(entry);
  state->results.Repaint();
  ports.progress.FileFound(listing_index + 1, state->strFilesFound[i]);

  if (!settings.chkDisplayDescriptions || document != nullptr) {
    state->strFileDescriptions[i].clear();
  } else if (stored != nullptr) {
    state->strFileDescriptions[i] = stored->description;
  } else {
    state->strFileDescriptions[i] =
        head->MetaContent("description", kFoundFileDescriptionLength);
  }
  return true;
}

bool ValidateMaxNumExtracts(bool from_search, SearchSettings* settings,
                            SearchState* state, SearchPorts& ports) {
  const std::string title =
      from_search ? state->search_button_caption
                  : FirstWord(state->report_button_caption);
  std::string text = TrimSpaces(settings->txbMaxNumExtracts);
  settings->txbMaxNumExtracts = text;
  ports.view.SetText("txbMaxNumExtracts", text);
  if (text.empty()) {
    state->intMaxNumExtracts = -1;
    return true;
  }
  bool digits_only = text.size() <= 4 &&
                     text.find_first_not_of("0123456789") == std::string::npos;
  if (digits_only) {
    state->intMaxNumExtracts = static_cast<std::int16_t>(std::stoi(text));
    if (state->intMaxNumExtracts == 0) {
      ports.prompter.ShowMessage(
          MessageIcon::kWarning, title,
          "The maximum number of extracts cannot be zero.");
      settings->txbMaxNumExtracts.clear();
      ports.view.SetText("txbMaxNumExtracts", "");
      return false;
    }
    return true;
  }
  ports.prompter.ShowMessage(
      MessageIcon::kWarning, title,
      "Invalid input for maximum number of extracts.\r\n"
      "Enter the maximum number of extracts to be displayed\r\n"
      "in the report or leave blank if no limit.");
  return false;
}

void ShowNotSpecified(Prompter& prompter, std::string_view what) {
  std::string text = "Please select ";
  text += what == "Index file" ? "an" : "a";
  text += " ";
  text += LowerCaseText(what);
  text += kCrLf;
  text += GetProgramText(kTextByTheButtonAtLeft);
  prompter.ShowMessage(MessageIcon::kNone, std::string(what) + " not specified",
                       text);
}

bool CheckReportRequest(SearchSettings* settings, SearchState* state,
                        SearchPorts& ports) {
  const std::string& title = state->report_button_caption;
  if (settings->txbIndexFile.empty()) {
    ShowNotSpecified(ports.prompter, "Index file");
    return false;
  }
  if (settings->txbTopFolder.empty()) {
    ShowNotSpecified(ports.prompter, "Top folder");
    return false;
  }
  if (state->intNumFilesFound == 0) {
    ports.prompter.ShowMessage(
        MessageIcon::kWarning, title,
        "Nothing to report.  Either there are no matches\r\n"
        "or a search has not yet been performed.");
    return false;
  }
  if (state->blnSearchWordsChanged) {
    ports.prompter.ShowMessage(MessageIcon::kInformation, title,
                               GetProgramText(kTextWordsChanged) + "\r\n" +
                                   GetProgramText(kTextSearchFirst));
    return false;
  }
  if (state->blnSortRequestedAfterSearch) {
    ports.prompter.ShowMessage(
        MessageIcon::kInformation, title,
        "Sorting has been requested.\r\n" + GetProgramText(kTextSearchFirst));
    return false;
  }
  return ValidateMaxNumExtracts(false, settings, state, ports);
}

}  // namespace orvane
