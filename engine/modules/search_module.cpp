// The Search Module's handlers tie the search to the reports, which read
// the search's results: they stand in modules/, above both search/ and
// report/, which know nothing of each other.
#include "engine/modules/search_module.h"

#include "engine/common/cp1252.h"
#include "engine/common/program_folder.h"
#include "engine/common/program_texts.h"
#include "engine/files/folder.h"
#include "engine/format/file_names.h"
#include "engine/modules/guarded.h"
#include "engine/modules/index_folders.h"
#include "engine/modules/why_not_found.h"
#include "engine/report/html_report.h"
#include "engine/report/text_report.h"
#include "engine/search/found_files.h"
#include "engine/search/index_loading.h"
#include "engine/search/indexed_files_listing.h"
#include "engine/search/query.h"
#include "engine/search/search_controls.h"
#include "engine/search/search_run.h"
#include "engine/text/charset.h"
#include "engine/text/file_checks.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

// Numbered UI texts of the Search Module.
constexpr std::int16_t kTextSearchModule = 5;
constexpr std::int16_t kTextTopFolderFirst = 23;
constexpr std::int16_t kTextFileOutsideTopFolder = 72;
constexpr std::int16_t kTextSpecifyFile = 73;
constexpr std::int16_t kTextSingleFile = 74;
constexpr std::int16_t kTextFileNotIndexed = 75;
constexpr std::int16_t kTextNoSingleFile = 76;
constexpr std::int16_t kTextSearchWordCharacters = 100;

constexpr std::string_view kLauncherCaption = "Orvane File Search";

// The status line of the window: where the last report went.
constexpr std::string_view kStatusLine = "lblStatus";

// Marks a handler as running for as long as it lasts.
class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
  ~BusyScope() { busy_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
};

}  // namespace

std::string SearchModuleCaption() {
  return std::string(kLauncherCaption) + " -- " +
         GetProgramText(kTextSearchModule);
}

SearchModule::SearchModule(SearchPorts ports)
    : ports_(ports), state_(ports.view) {
  state_.window_caption = SearchModuleCaption();
}

void SearchModule::EnableControlsAfterRun() {
  SetSearchControlsEnabled(ports_.view, true, false, false, true);
}

void SearchModule::RecoverFromFailure() {
  state_.blnStop = true;
  state_.report_stop = true;
  state_.search_button_caption = "Search";
  ports_.view.SetText("cmdSearch", "Search");
  EnableControlsAfterRun();
}

template <class T, class Work>
T SearchModule::Guarded(T failure, Work work) {
  return orvane::Guarded(ports_.prompter, failure, work,
                         [this] { RecoverFromFailure(); });
}

SearchModule::SearchClick SearchModule::Search() {
  if (busy_) {
    if (state_.search_button_caption != "Stop") return SearchClick::kIgnored;
    state_.blnStop = true;
    state_.search_button_caption = "Search";
    ports_.view.SetText("cmdSearch", "Search");
    return SearchClick::kStopped;
  }
  BusyScope busy(busy_);
  return Guarded(SearchClick::kFailed, [this] { return CheckAndSearch(); });
}

SearchModule::SearchClick SearchModule::CheckAndSearch() {
  Prompter& prompter = ports_.prompter;
  const std::string title = state_.search_button_caption;
  // The last search's results go as a new one begins, its count with
  // them, also when a check then refuses the search (a stem that switches
  // the search type left the count of the last search beside an empty
  // results box).
  state_.results.Clear();
  state_.intNumFilesFound = 0;
  ports_.view.SetText("lblNumFilesFound", "");
  ports_.view.SetText(kStatusLine, "");
  if (settings_.txbIndexFile.empty()) {
    ShowNotSpecified(prompter, "Index file");
    return SearchClick::kRefused;
  }
  if (!FileExists(settings_.txbIndexFile)) {
    prompter.ShowMessage(MessageIcon::kWarning, title, "Index file not found.");
    return SearchClick::kRefused;
  }
  if (settings_.txbTopFolder.empty()) {
    ShowNotSpecified(prompter, "Top folder");
    return SearchClick::kRefused;
  }
  if (settings_.optSearchSingleFile && settings_.txbSingleFile.empty()) {
    prompter.ShowMessage(MessageIcon::kWarning, title,
                         GetProgramText(kTextNoSingleFile));
    return SearchClick::kRefused;
  }
  if (!CheckSearchWordCharacters(settings_.txbSearchWords)) {
    prompter.ShowMessage(MessageIcon::kWarning, title,
                         GetProgramText(kTextSearchWordCharacters));
    return SearchClick::kRefused;
  }
  if (settings_.chkGenerateHTML &&
      !ValidateMaxNumExtracts(true, &settings_, &state_, ports_)) {
    return SearchClick::kRefused;
  }

  SetSearchControlsEnabled(ports_.view, false, false, false, true);
  ports_.view.SetEnabled("cmdSearch", true);
  ports_.view.SetEnabled("cmdQuit", true);
  ports_.view.SetEnabled("txbFiles", true);
  state_.blnSearchWordsChanged = false;

  if (!state_.index.blnDataFileReady) {
    LoadIndexFile(settings_.txbIndexFile, &state_.index, ports_,
                  state_.results);
    if (!state_.index.blnDataFileReady) {
      EnableControlsAfterRun();
      return SearchClick::kNotLoaded;
    }
  }
  if (settings_.optSearchSingleFile &&
      !CheckSingleFileIndexed(GetProgramText(kTextSingleFile))) {
    EnableControlsAfterRun();
    return SearchClick::kRefused;
  }
  QueryCheck check = CheckQuery(&settings_, state_.index, ports_,
                                state_.window_caption, &state_.strSearchWords);
  if (check == QueryCheck::kNoStemMatch) {
    // No lexicon word begins with any stem: answered like a search that
    // found nothing.
    state_.intNumFilesFound = 0;
    state_.strFilesFound.clear();
    DisplayNoFilesFound(settings_, &state_);
    EnableControlsAfterRun();
    return SearchClick::kSearched;
  }
  if (check == QueryCheck::kRefused) {
    EnableControlsAfterRun();
    return SearchClick::kRefused;
  }
  if (!CheckTopFolder(settings_, &state_) && !state_.blnTopFolderChecked) {
    prompter.ShowMessage(
        MessageIcon::kError, "Search",
        "No indexed file occurs in the top folder or any subfolder.\r\n"
        "There seems to be a mismatch between the top folder\r\n"
        "and the index file.");
    EnableControlsAfterRun();
    return SearchClick::kRefused;
  }

  state_.blnSortRequestedAfterSearch = false;
  SearchRunOutcome outcome = RunSearch(settings_, &state_, ports_);
  if (outcome == SearchRunOutcome::kQuit || ports_.launcher.blnQuit) {
    return SearchClick::kQuit;
  }
  if (outcome == SearchRunOutcome::kFinished && settings_.chkGenerateHTML &&
      state_.intNumFilesFound > 0) {
    WriteReport();
  }
  EnableControlsAfterRun();
  if (ports_.launcher.blnQuit) return SearchClick::kQuit;
  return outcome == SearchRunOutcome::kFailed ? SearchClick::kNotLoaded
                                        : SearchClick::kSearched;
}

void SearchModule::WriteReport() {
  // The status line says where each report went.
  if (settings_.optHTMLReport) {
    last_report_path_ = WriteHtmlReport(settings_, &state_, ports_);
    if (!last_report_path_.empty()) {
      ports_.view.SetText(kStatusLine,
                          "The HTML report is " + last_report_path_ + ".");
    }
  } else {
    WriteTextReport(settings_, &state_, ports_);
    ports_.view.SetText(kStatusLine,
                        "The text report is in the window \"Search results\".");
  }
}

bool SearchModule::MakeReport() {
  if (busy_) {
    if (state_.report_button_caption == "Stop") state_.report_stop = true;
    return false;
  }
  BusyScope busy(busy_);
  return Guarded(false, [this] {
    ports_.view.SetText(kStatusLine, "");
    if (!CheckReportRequest(&settings_, &state_, ports_)) return false;
    last_report_path_.clear();
    WriteReport();
    return !settings_.optHTMLReport || !last_report_path_.empty();
  });
}

bool SearchModule::ListIndexedFiles() {
  if (busy_) return false;
  BusyScope busy(busy_);
  return Guarded(false, [this] {
    return orvane::ListIndexedFiles(settings_, &state_, ports_);
  });
}

bool SearchModule::ChooseIndexFile(std::string_view name) {
  if (busy_) return false;
  BusyScope busy(busy_);
  state_.results.Clear();
  ports_.view.SetText("lblNumFilesFound", "");
  state_.intNumFilesFound = 0;
  std::string file = TrimSpaces(name);
  // The top folder noted for the index opened before: a top folder that
  // came with that index goes with it.
  const std::string notes = IndexFoldersPath();
  const std::string top_before =
      settings_.txbIndexFile.empty()
          ? std::string()
          : NotedTopFolder(notes, settings_.txbIndexFile);
  ForgetIndex();
  if (file.size() < kIndexFileEnding.size() ||
      file.compare(file.size() - kIndexFileEnding.size(),
                   kIndexFileEnding.size(), kIndexFileEnding) != 0) {
    ports_.prompter.ShowMessage(MessageIcon::kWarning, "Invalid input",
                                "Index file names must end in '_index.tavo'.");
    settings_.txbIndexFile.clear();
    ports_.view.SetText("txbIndexFile", "");
    ports_.view.SetVisible("cmdClear[2]", false);
    ports_.view.SetEnabled("cmdListIndexedFiles", false);
    return false;
  }
  settings_.txbIndexFile = file;
  ports_.view.SetText("txbIndexFile", file);
  ports_.view.SetVisible("cmdClear[2]", true);
  bool loaded = Guarded(false, [&] {
    return LoadIndexFile(file, &state_.index, ports_, state_.results);
  });
  ports_.view.SetEnabled("cmdListIndexedFiles", loaded);
  state_.blnTopFolderChecked = false;
  if (loaded) OfferNotedTopFolder(NotedTopFolder(notes, file), top_before);
  if (loaded && settings_.optSearchSingleFile &&
      !settings_.txbSingleFile.empty()) {
    CheckSingleFileIndexed(GetProgramText(kTextSingleFile));
  }
  return loaded;
}

void SearchModule::ChooseTopFolder(std::string_view folder) {
  if (busy_) return;
  SetTopFolder(folder);
}

void SearchModule::SetTopFolder(std::string_view folder) {
  std::string top(folder);
  AddTrailingBackslash(top);
  settings_.txbTopFolder = top;
  ports_.view.SetText("txbTopFolder", top);
  ports_.view.SetVisible("cmdClear[1]", true);
  state_.blnTopFolderChecked = false;
  ports_.view.SetText("lblNumFilesFound", "");
  state_.intNumFilesFound = 0;
  state_.results.Clear();
}

void SearchModule::OfferNotedTopFolder(const std::string& noted,
                                       const std::string& top_before) {
  const std::string& top = settings_.txbTopFolder;
  if (noted.empty() || noted == top || !FolderExists(noted)) return;
  // A top folder the user chose for this index stays.
  if (!top.empty() && top != top_before) return;
  SetTopFolder(noted);
}

bool SearchModule::PathDropped(std::string_view path) {
  if (busy_) return false;
  if (FolderExists(std::string(path))) {
    ChooseTopFolder(path);
    return false;
  }
  const std::string_view trimmed = TrimSpacesView(path);
  // A name that ends as the program's own files do is meant as an index
  // file, and refused as one when it is not.
  const bool index_name = trimmed.ends_with(".tavo");
  if (!index_name && !settings_.txbIndexFile.empty()) {
    WhyNotFound(path);
    return false;
  }
  return ChooseIndexFile(path);
}

std::vector<std::string> SearchModule::AnswerWhyNotFound(
    std::string_view path) {
  if (settings_.txbIndexFile.empty()) {
    ShowNotSpecified(ports_.prompter, "Index file");
    return {};
  }
  if (!state_.index.blnDataFileReady) {
    LoadIndexFile(settings_.txbIndexFile, &state_.index, ports_,
                  state_.results);
    if (!state_.index.blnDataFileReady) return {};
  }
  if (common_words_ == nullptr) {
    common_words_ = std::make_unique<CommonWords>();
    common_words_->LoadCommonWords(ProgramFilePath("cwds.txt"));
  }
  WhyQuestion question;
  question.index_file = settings_.txbIndexFile;
  question.top_folder = settings_.txbTopFolder;
  std::string file(TrimSpaces(path));
  if (!file.empty() && file.front() != '/') {
    file = settings_.txbTopFolder + file;
  }
  question.path = std::move(file);
  question.words = settings_.txbSearchWords;
  question.phrase = settings_.cboSearchType == SearchType::kExactPhrase;
  return orvane::AnswerWhyNotFound(question, *state_.index.store,
                                   *common_words_);
}

bool SearchModule::WhyNotFound(std::string_view path) {
  if (busy_) return false;
  BusyScope busy(busy_);
  const std::string title = "Why not found?";
  if (settings_.txbIndexFile.empty()) {
    ShowNotSpecified(ports_.prompter, "Index file");
    return false;
  }
  if (TrimSpaces(path).empty()) {
    ports_.prompter.ShowMessage(
        MessageIcon::kWarning, title,
        "Type the path of a file in the single file box, or drop a file on "
        "the window, and ask again.");
    return false;
  }
  return Guarded(false, [&] {
    std::vector<std::string> answer = AnswerWhyNotFound(path);
    if (answer.empty()) return false;
    std::string text;
    for (const std::string& paragraph : answer) {
      if (!text.empty()) text += "\r\n\r\n";
      text += paragraph;
    }
    ports_.prompter.ShowMessage(MessageIcon::kInformation, title, text);
    return true;
  });
}

bool SearchModule::SpecifySingleFile(std::string_view path) {
  if (busy_) return false;
  const std::string title = "Specify file";
  if (settings_.txbTopFolder.empty()) {
    ports_.prompter.ShowMessage(MessageIcon::kNone, title,
                                GetProgramText(kTextTopFolderFirst));
    return false;
  }
  state_.results.Clear();
  ports_.view.SetText("lblNumFilesFound", "");
  state_.intNumFilesFound = 0;
  state_.blnTopFolderChecked = false;
  settings_.txbSingleFile = TrimSpaces(path);
  const std::string& top = settings_.txbTopFolder;
  bool inside =
      settings_.txbSingleFile.size() >= top.size() &&
      LowerCaseText(std::string_view(settings_.txbSingleFile).substr(
          0, top.size())) == LowerCaseText(top);
  bool accepted = true;
  if (!inside) {
    ports_.prompter.ShowMessage(MessageIcon::kWarning, title,
                                GetProgramText(kTextFileOutsideTopFolder));
    settings_.txbSingleFile.clear();
    accepted = false;
  } else if (!settings_.txbIndexFile.empty() && state_.index.blnDataFileReady &&
             !CheckSingleFileIndexed(GetProgramText(kTextSpecifyFile))) {
    accepted = false;
  }
  ports_.view.SetText("txbSingleFile", settings_.txbSingleFile);
  ports_.view.SetVisible("cmdClear[4]", !settings_.txbSingleFile.empty());
  return accepted;
}

bool SearchModule::CheckSingleFileIndexed(std::string_view title) {
  const std::string& top = settings_.txbTopFolder;
  const std::string& file = settings_.txbSingleFile;
  std::string relative =
      file.size() >= top.size() ? file.substr(top.size()) : std::string();
  // Exact, or equal in lower case, as the list of the indexed files is
  // searched.
  const LoadedIndex& index = state_.index;
  if (!relative.empty()) {
    const std::string lower = LowerCaseText(relative);
    for (std::int32_t k = 0; k < index.intNumFiles; ++k) {
      std::string_view entry = index.FilePath(static_cast<std::uint32_t>(k));
      if (entry == relative || LowerCaseText(entry) == lower) return true;
    }
  }
  ports_.prompter.ShowMessage(MessageIcon::kInformation, title,
                              GetProgramText(kTextFileNotIndexed));
  return false;
}

std::string SearchModule::SearchWordsChanged(std::string_view typed) {
  std::string text = ContentToDisplay(TypeUmlauts(DisplayToContentLossy(typed)));
  // Characters that Windows-1252 lacks stay as typed, for the character
  // check to refuse.
  if (!DisplayToContent(typed)) text = std::string(typed);
  settings_.txbSearchWords = text;
  state_.blnSearchWordsChanged = true;
  ports_.view.SetVisible("cmdClear[3]", !text.empty());
  return text;
}

void SearchModule::SortMatchesClicked(bool checked) {
  settings_.chkSortMatches = checked;
  // Relevance is an order of a sorted list: no sorting, no relevance.
  if (!checked) settings_.sort_by_relevance = false;
  state_.blnSortRequestedAfterSearch =
      state_.intNumFilesFound > 0 && !settings_.optSearchSingleFile && checked;
}

void SearchModule::SortByRelevanceClicked(bool checked) {
  settings_.sort_by_relevance = checked;
  // Ranking by relevance sorts the list; either way the order of a listed
  // search changes, so a report waits for the next search.
  if (checked) settings_.chkSortMatches = true;
  state_.blnSortRequestedAfterSearch =
      state_.intNumFilesFound > 0 && !settings_.optSearchSingleFile;
}

void SearchModule::ForgetIndex() {
  state_.index.Clear();
  state_.index.strDataFile.clear();
  state_.index.blnDataFileReady = false;
}

}  // namespace orvane
