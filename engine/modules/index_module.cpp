#include "engine/modules/index_module.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <future>
#include <optional>
#include <system_error>

#include "engine/common/cp1252.h"
#include "engine/common/program_texts.h"
#include "engine/common/records.h"
#include "engine/files/file_stamp.h"
#include "engine/files/folder.h"
#include "engine/format/file_names.h"
#include "engine/index/file_details.h"
#include "engine/index/settings_file.h"
#include "engine/index/store_writers.h"
#include "engine/index/word_extraction.h"
#include "engine/index/word_reader.h"
#include "engine/modules/guarded.h"
#include "engine/modules/index_folders.h"
#include "engine/modules/run_documents.h"
#include "engine/reading/reader_pool.h"
#include "engine/search/found_files.h"
#include "engine/store/document_text_section.h"
#include "engine/store/store_fingerprint.h"
#include "engine/text/file_checks.h"
#include "engine/text/markup.h"
#include "engine/text/number_text.h"
#include "engine/text/sorting.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

// The stamp is taken before the texts are read (from the stat that opening
// the file makes): a file that changes in between shows a stamp older than
// its texts, and the search reads it.
FileDetails DetailsOfFile(const std::string& path) {
  FileDetails details;
  FileHead head(path);
  std::optional<FileStamp> stamp =
      head.facts() ? FileStamp{head.facts()->size, head.facts()->modified_ns}
                   : StampOfFile(path);  // a file that cannot be opened
  if (!stamp) return details;
  details.title = head.Title(&details.first_text, kFoundFileTextLength);
  details.description =
      head.MetaContent("description", kFoundFileDescriptionLength);
  details.stamp = *stamp;
  details.known = true;
  return details;
}

// Numbered UI texts of the run.
constexpr std::int16_t kTextNoProjectName = 28;
constexpr std::int16_t kTextPause = 30;
constexpr std::int16_t kTextPaused = 31;
constexpr std::int16_t kTextNoTitle = 34;
constexpr std::int16_t kTextNoTopFolder = 35;
constexpr std::int16_t kTextTopFolderMissing = 36;
constexpr std::int16_t kTextNoOutputFolder = 37;
constexpr std::int16_t kTextOutputFolderMissing = 38;
constexpr std::int16_t kTextCounting = 43;
constexpr std::int16_t kTextTotalFiles = 45;
constexpr std::int16_t kTextTotalSize = 46;
constexpr std::int16_t kTextDifferentWords = 47;
constexpr std::int16_t kTextWriteErrorTitle = 48;
constexpr std::int16_t kTextLexiconWriteError = 49;
constexpr std::int16_t kTextFinishing = 50;
constexpr std::int16_t kTextExcludedFileNotRelative = 56;
constexpr std::int16_t kTextExcludedFilesTitle = 57;
constexpr std::int16_t kTextNoFilesBase = 90;  // 90 to 93
constexpr std::int16_t kTextFileListHeading = 155;

constexpr int kMaxCurrentFileLength = 80;  // intMaxCurrentFileLength
constexpr std::int32_t kWordsShownStep = 90;
// Documents handed to the document reader ahead of the file being read.
constexpr std::size_t kDocumentsAhead = 16;
constexpr double kSecondsPerDay = 86400;

constexpr std::string_view kProjectNameInadmissible = ":\\/,<>'&\"";

// Every input of the Index Module window, by its fixed name.
constexpr std::string_view kWindowInputs[] = {
    "chkIncludeSubfoldersOfSubfolders", "chkExcludeFilesInTopFolder",
    "chkExcludeSpecialLetters",         "chkWriteClassicDataFile",
    "chkReadDocuments",
    "cmdTopFolder",
    "cmdOutputFolder",                  "cmdSelectSubfolders",
    "cmdExcludeFiles",                  "cmdExpandFilepathExclusions",
    "cmdListFiles[0]",                  "cmdListFiles[1]",
    "cmdExtractData",                   "cmdSettings",
    "cmdClear",                         "cmdReset",
    "cmdSwitchToSearchModule",          "cmdQuit",
    "cboSettings",                      "cboClear",
    "txbProjectName",                   "txbTitle",
    "txbTopFolder",                     "txbOutputFolder",
    "txbIncludedFolders",               "txbExcludedFiles",
    "txbExcludedFilepaths",             "txbMinimumFilesize",
};

constexpr std::string_view kProgressLabels[] = {
    "lblTotalNumFiles", "lblTotalFileSize", "lblNowProcessingFile",
    "lblCurrentFile", "lblDifferentWordsFoundSoFar"};

// The refusal of a folder setting that names no usable folder: the
// numbered "does not exist" when nothing is there, otherwise what is wrong
// with what is there (a file, a folder that cannot be read).
std::string FolderRefusal(const std::string& folder, std::string_view what,
                          std::int16_t missing_text) {
  std::string why = WhyNoFolder(folder);
  if (why.empty()) return GetProgramText(missing_text);
  std::string shown = folder;
  if (shown.size() > 1 && shown.back() == '/') shown.pop_back();
  return std::string(what) + shown + " " + why + ".";
}

std::string Trimmed(std::string* field) {
  *field = TrimSpaces(*field);
  return *field;
}

}  // namespace

// Between lines of a file: lets the window system process pending input,
// shows the word count every 90 new words and tells whether to go on.
class IndexModule::RunObserver : public ExtractionObserver {
 public:
  explicit RunObserver(IndexModule* module) : module_(module) {}

  void StartFile() { words_shown_ = module_->lexicon_.word_count(); }

  bool AfterLine() override {
    RunFlags flags = module_->LetWindowSystemRun();
    if (module_->lexicon_.word_count() > words_shown_ + kWordsShownStep) {
      module_->ShowWordsFoundSoFar();
      words_shown_ = module_->lexicon_.word_count();
    }
    return flags.KeepGoing();
  }

 private:
  IndexModule* module_;
  std::int32_t words_shown_ = 0;
};

IndexModule::IndexModule(IndexPorts ports,
                         std::shared_ptr<BackgroundDeletion> deletion)
    : ports_(ports),
      deletion_(deletion != nullptr ? std::move(deletion)
                                    : std::make_shared<BackgroundDeletion>()) {}

std::string IndexModule::FormatGrouped(double value) const {
  return FormatNumber(value, 0, ports_.number_format);
}

RunOutcome IndexModule::CreateIndexFile() {
  if (SplitTrimmedLines(settings_.txbIncludedFolders).empty() &&
      settings_.chkExcludeFilesInTopFolder) {
    ports_.prompter.ShowMessage(MessageIcon::kWarning,
                                 kCreateIndexFileCaption,
                                 "No files are included.");
    return RunOutcome::kRefused;
  }
  std::string project = TrimSpaces(settings_.txbProjectName);
  std::string output = TrimSpaces(settings_.txbOutputFolder);
  AddTrailingBackslash(output);
  if (!project.empty() && !output.empty()) {
    std::string existing = IndexFilePath(output, project);
    if (FileExists(existing)) {
      Answer answer = ports_.prompter.Ask(
          MessageIcon::kWarning, kCreateIndexFileCaption,
          "An index file " + existing + " exists.  Overwrite this?",
          MessageButtons::kYesNoCancel);
      if (answer != Answer::kYes) return RunOutcome::kNotOverwritten;
    }
  }
  state_.index_created = false;
  ports_.view.SetVisible("cmdListFiles[1]", false);
  RunOutcome outcome = ExtractData(false);
  if (outcome == RunOutcome::kTooManyFiles) {
    return ReportTooManyFiles(kCreateIndexFileCaption);
  }
  if (outcome == RunOutcome::kCompleted) {
    // The Search Module offers this top folder when the index is opened.
    // The index is made whether or not the note can be written.
    static_cast<void>(NoteIndexFolder(IndexFoldersPath(), state_.index_path,
                                      settings_.txbTopFolder));
  }
  return outcome;
}

void IndexModule::PauseRun() {
  // The documents being read meanwhile keep their time limit for the time
  // the run goes on.
  DocumentReader* reader = document_reader_ != nullptr
                               ? document_reader_
                               : own_document_reader_.get();
  if (reader != nullptr) reader->Pause();
  Answer answer = ports_.prompter.Ask(MessageIcon::kInformation, "Paused",
                                       GetProgramText(kTextPaused),
                                       MessageButtons::kOkCancel);
  if (reader != nullptr) reader->Resume();
  if (answer == Answer::kCancel) state_.stop_flag = true;
}

void IndexModule::PrepareLargeDisplay(std::string_view caption) {
  LargeDisplay& display = ports_.display;
  display.SetReadOnly(true);
  display.SetCopyButtonCaption("Pause");
  display.SetCaption(caption);
  display.SetBufferFullMessage("THE FILE LIST BUFFER IS FULL.");
  display.Clear();
}

void IndexModule::ShowSortedList(std::string caption) {
  LargeDisplay& display = ports_.display;
  std::vector<std::string> sorted = state_.file_list;
  if (sorted.size() > 1) {
    SortAscending(sorted, 0, static_cast<int>(sorted.size()) - 1);
  }
  display.Clear();
  display.SetCaption(caption);
  display.Output(GetProgramText(kTextFileListHeading), 2, false);
  display.DisplayArray(sorted, 0, static_cast<std::int32_t>(sorted.size()) - 1,
                        "", false);
  display.SetCopyButtonCaption("Copy to clipboard");
  display.Show();
}

void IndexModule::ShowLeftOutFiles() {
  const auto& files = selection_.left_out_files;
  if (files.empty()) return;
  std::string rules_top = TrimSpaces(settings_.txbTopFolder);
  AddTrailingBackslash(rules_top);
  LargeDisplay& display = ports_.display;
  display.Output("", 1, false);
  display.Output("Files left out:", 1, false);
  for (const auto& [path, rule] : files) {
    const std::string_view shown = std::string_view(path).substr(
        std::min(path.size(), rules_top.size()));
    display.Output(std::string(shown) + " (" +
                       std::string(FileRuleReason(rule)) + ")",
                   1, false);
  }
  display.Show();
}

RunOutcome IndexModule::ListFiles() {
  if (SplitTrimmedLines(settings_.txbIncludedFolders).empty() &&
      settings_.chkExcludeFilesInTopFolder) {
    ports_.prompter.ShowMessage(MessageIcon::kWarning, kListFilesCaption,
                                 "No files are included.");
    return RunOutcome::kRefused;
  }
  PrepareLargeDisplay(kListFilesCaption);
  RunOutcome outcome = ExtractData(true);
  if (outcome == RunOutcome::kListed && selection_.too_many_files) {
    // The listing stopped at the first file above the limit: say so rather
    // than offer a list that no index could hold.
    outcome = ReportTooManyFiles(kListFilesCaption);
  } else if (outcome == RunOutcome::kListed && ports_.display.IsVisible() &&
             !ports_.display.ReportBufferFull()) {
    std::int32_t count = selection_.count;
    ShowSortedList(count == 1
                       ? std::string("One file is to be indexed")
                       : FormatGrouped(count) + " files are to be indexed");
    ShowLeftOutFiles();
  }
  FocusNextControl();
  return outcome;
}

void IndexModule::ListIndexedFiles() {
  if (state_.file_list.size() == 1) {
    ports_.prompter.ShowMessage(MessageIcon::kInformation,
                                 kListIndexedFilesCaption,
                                 "Only one file was indexed:\r\n" +
                                     state_.file_list[0]);
    return;
  }
  // Sorting a long list needs memory: a want of it ends the listing only.
  Guarded(
      ports_.prompter, false,
      [this] {
        PrepareLargeDisplay(kListIndexedFilesCaption);
        ShowSortedList(
            FormatGrouped(static_cast<double>(state_.file_list.size())) +
            " files were indexed");
        return true;
      },
      [this] { ports_.display.Hide(); });
}

std::string IndexModule::IndexFileToHandOver() const {
  // After a run that was stopped or failed there may be no index under the
  // name: the Search Module would only say that it cannot be found.
  return !state_.index_path.empty() && FileExists(state_.index_path)
             ? state_.index_path
             : std::string();
}

void IndexModule::EnableControls(bool enabled) {
  for (std::string_view control : kWindowInputs) {
    ports_.view.SetEnabled(control, enabled);
  }
  if (!listing_mode_) {
    ports_.view.SetEnabled("cmdExtractData", true);
    ports_.view.SetFocus("cmdExtractData");
  }
  ports_.view.SetEnabled("cmdQuit", true);
  ports_.view.SetText("cmdExtractData", kCreateIndexFileCaption);
}

void IndexModule::ShowNoFilesMessage(std::string_view title) {
  bool includes = !SplitTrimmedLines(settings_.txbIncludedFolders).empty();
  bool excludes = !TrimSpaces(settings_.txbExcludedFiles).empty();
  std::int16_t number = static_cast<std::int16_t>(
      kTextNoFilesBase + (includes ? 2 : 0) + (excludes ? 1 : 0));
  ports_.prompter.ShowMessage(MessageIcon::kWarning, title,
                               GetProgramText(number) + ".");
}

void IndexModule::FocusNextControl() {
  const IndexSettings& s = settings_;
  if (s.txbProjectName.empty()) {
    ports_.view.SetFocus("txbProjectName");
  } else if (s.txbTopFolder.empty()) {
    ports_.view.SetFocus("cmdTopFolder");
  } else if (s.txbTitle.empty()) {
    ports_.view.SetFocus("txbTitle");
  } else if (s.txbOutputFolder.empty()) {
    ports_.view.SetFocus("cmdOutputFolder");
  } else if (state_.index_created) {
    ports_.view.SetFocus("cmdSwitchToSearchModule");
  } else {
    ports_.view.SetFocus("cmdListFiles[0]");
  }
}

void IndexModule::ShowWordsFoundSoFar() {
  ports_.view.SetText("lblDifferentWordsFoundSoFar",
                       "Different words found so far: " +
                           FormatGrouped(lexicon_.word_count()));
  ports_.view.Repaint();
  ports_.progress.Words(lexicon_.word_count());
}

RunOutcome IndexModule::Refuse(std::string_view text, bool focus) {
  ports_.prompter.ShowMessage(MessageIcon::kWarning, kCreateIndexFileCaption,
                               text);
  if (focus) FocusNextControl();
  return RunOutcome::kRefused;
}

bool IndexModule::CheckSettings(bool listing_mode, std::string* title_content,
                                RunOutcome* outcome) {
  IndexSettings& s = settings_;
  if (!listing_mode) {
    if (Trimmed(&s.txbProjectName).empty()) {
      *outcome = Refuse(GetProgramText(kTextNoProjectName), true);
      return false;
    }
    // The project name becomes part of two file names in the output
    // folder; a separator in it would put them elsewhere.
    std::size_t bad = s.txbProjectName.find_first_of(kProjectNameInadmissible);
    if (bad != std::string::npos) {
      ports_.prompter.ShowMessage(
          MessageIcon::kWarning, "Project name",
          "The project name contains an inadmissible character: " +
              s.txbProjectName.substr(bad, 1));
      FocusNextControl();
      *outcome = RunOutcome::kRefused;
      return false;
    }
    if (Trimmed(&s.txbTitle).empty()) {
      *outcome = Refuse(GetProgramText(kTextNoTitle), false);
      return false;
    }
    // The index text stores the title between double quotes, with no
    // escape, in the Windows-1252 code page.
    if (s.txbTitle.find('"') != std::string::npos) {
      *outcome = Refuse(
          "The title must not contain a double quote character (\"), which "
          "the index file cannot store.",
          false);
      return false;
    }
    std::optional<Content> content = DisplayToContent(s.txbTitle);
    if (!content) {
      *outcome = Refuse(
          "The title contains a character that the index file cannot store "
          "(it stores the characters of Western European languages only).",
          false);
      return false;
    }
    *title_content = *content;
  }
  if (Trimmed(&s.txbTopFolder).empty()) {
    *outcome = Refuse(GetProgramText(kTextNoTopFolder), true);
    return false;
  }
  AddTrailingBackslash(s.txbTopFolder);
  if (!FolderExists(s.txbTopFolder)) {
    *outcome = Refuse(FolderRefusal(s.txbTopFolder, "The top folder ",
                                    kTextTopFolderMissing),
                      true);
    return false;
  }
  if (!listing_mode) {
    if (Trimmed(&s.txbOutputFolder).empty()) {
      *outcome = Refuse(GetProgramText(kTextNoOutputFolder), true);
      return false;
    }
    AddTrailingBackslash(s.txbOutputFolder);
    if (!FolderExists(s.txbOutputFolder)) {
      *outcome = Refuse(FolderRefusal(s.txbOutputFolder, "The output folder ",
                                      kTextOutputFolderMissing),
                        true);
      return false;
    }
  }
  Trimmed(&s.txbExcludedFiles);
  for (const std::string& entry : SplitTrimmedLines(s.txbExcludedFiles)) {
    if (entry[0] == '\\' || entry[0] == '/' ||
        (entry.size() > 1 && entry[1] == ':')) {
      ports_.prompter.ShowMessage(
          MessageIcon::kWarning, GetProgramText(kTextExcludedFilesTitle),
          GetProgramText(kTextExcludedFileNotRelative) + ":\r\n" + entry);
      *outcome = RunOutcome::kRefused;
      return false;
    }
  }
  Trimmed(&s.txbExcludedFilepaths);
  return true;
}

void IndexModule::TellLeftOut(std::string_view what, std::string_view why,
                              const std::vector<std::string>& paths,
                              const std::vector<std::string>* reasons) {
  if (paths.empty()) return;
  const auto n = static_cast<std::int32_t>(paths.size());
  std::string text = n == 1 ? "One " + std::string(what) + " was"
                            : FormatGrouped(n) + " " + std::string(what) +
                                  "s were";
  text += why;
  std::size_t shown = 0;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string& path = paths[i];
    state_.left_out.push_back(path);
    if (shown == state_.paths_shown) continue;
    text += "\r\n" + path;
    if (reasons != nullptr) text += " (" + (*reasons)[i] + ")";
    ++shown;
  }
  if (shown < paths.size()) {
    text += "\r\n... and " + FormatGrouped(n - static_cast<double>(shown)) +
            " more.";
  }
  ports_.prompter.ShowMessage(
      MessageIcon::kInformation,
      listing_mode_ ? kListFilesCaption : kCreateIndexFileCaption, text);
}

void IndexModule::ShowCountingMessages() {
  if (ports_.launcher.blnQuit) return;
  TellLeftOut("folder", " skipped: permission to read denied.",
              selection_.unreadable_folder_paths);
  TellLeftOut("file", " left out: it cannot be opened.",
              selection_.unopenable_file_paths);
  TellLeftOut("file",
              " left out: a double quote or a line break in a path cannot be "
              "stored in the index file.",
              selection_.unstorable_file_paths);
}

void IndexModule::RunCountingPass(bool listing_mode,
                                  const SelectionRules& rules) {
  if (!listing_mode) {
    ports_.view.SetText("cmdExtractData", GetProgramText(kTextPause));
    ports_.view.SetText("lblNowProcessingFile",
                         GetProgramText(kTextCounting) + " ...");
    ports_.view.SetProgress(kRunProgressBar, 0, 0);
  }
  SelectFiles(rules,
              listing_mode ? SelectionMode::kListing : SelectionMode::kCounting,
              ports_, &state_.stop_flag, &selection_);
  if (LetWindowSystemRun().KeepGoing() && !listing_mode) {
    if (selection_.count > 0) {
      std::string documents;
      if (selection_.documents == 1) documents = " (one document)";
      if (selection_.documents > 1) {
        documents = " (" + FormatGrouped(selection_.documents) + " documents)";
      }
      ports_.view.SetText("lblTotalNumFiles",
                           GetProgramText(kTextTotalFiles) + ": " +
                               FormatGrouped(selection_.count) + documents);
      ports_.view.SetText("lblTotalFileSize",
                           GetProgramText(kTextTotalSize) + ": " +
                               FormatGrouped(selection_.total_size / 1024) +
                               " KB");
    }
    ports_.view.SetText("cmdExtractData", GetProgramText(kTextFinishing));
    ports_.view.SetText("lblDifferentWordsFoundSoFar", "");
    ports_.view.Repaint();
    ports_.progress.Counted(selection_.count, selection_.total_size);
  }
  ShowCountingMessages();
}

RunOutcome IndexModule::ExtractData(bool listing_mode) {
  listing_mode_ = listing_mode;
  state_.left_out.clear();
  ports_.view.SetText("lblCurrentFile", "");
  std::string title_content;
  RunOutcome refused;
  if (!CheckSettings(listing_mode, &title_content, &refused)) return refused;
  for (std::string_view label : kProgressLabels) {
    ports_.view.SetText(label, "");
  }
  IndexSettings& s = settings_;
  Trimmed(&s.txbMinimumFilesize);
  if (LeadingNumber(s.txbMinimumFilesize) == 0) s.txbMinimumFilesize.clear();
  SelectionRules rules = RulesFromSettings(s);
  rules.file_limit = FileLimit();
  // "List files" shows the files left out after those kept.
  rules.keep_left_out_files = state_.keep_left_out_files || listing_mode;

  state_.stop_flag = false;
  ports_.launcher.blnQuit = false;
  state_.running = true;
  EnableControls(false);
  ports_.view.Repaint();
  if (listing_mode) {
    ports_.display.Show();
  } else {
    start_time_ = ports_.clock.SecondsSinceMidnight();
  }
  // Only a failure to get memory, or a bug, ends the passes with an
  // exception: the run ends as stopped and every file it began is deleted.
  return Guarded(
      ports_.prompter, RunOutcome::kStopped,
      [&] { return RunPasses(listing_mode, rules, title_content); },
      [this] {
        ports_.view.SetText("lblCurrentFile", "Data extraction stopped.");
        ports_.progress.Finished("Data extraction stopped.");
        state_.running = false;
        EnableControls(true);
      });
}

RunOutcome IndexModule::RunPasses(bool listing_mode,
                                  const SelectionRules& rules,
                                  const std::string& title_content) {
  state_.file_list.clear();
  RunCountingPass(listing_mode, rules);
  if (listing_mode) {
    for (const SelectedFile& file : selection_.file_list) {
      state_.file_list.push_back(file.relative_path);
    }
    state_.running = false;
    if (selection_.count > 0) {
      EnableControls(true);
      ports_.view.Repaint();
      if (ports_.display.IsVisible()) ports_.display.Show();
      return RunOutcome::kListed;
    }
    ports_.display.Hide();
    ShowNoFilesMessage(kListFilesCaption);
    EnableControls(true);
    return RunOutcome::kNoFiles;
  }
  ports_.view.SetText("lblNowProcessingFile", "");
  RunOutcome outcome;
  RunFlags flags = LetWindowSystemRun();
  if (flags.quit) {
    outcome = RunOutcome::kQuit;
  } else if (flags.stop) {
    FocusNextControl();
    outcome = RunOutcome::kStopped;
  } else if (selection_.too_many_files) {
    outcome = RunOutcome::kTooManyFiles;
  } else if (selection_.count == 0) {
    ShowNoFilesMessage(kCreateIndexFileCaption);
    FocusNextControl();
    outcome = RunOutcome::kNoFiles;
  } else {
    outcome = RunExtraction(rules, title_content);
    state_.running = false;
    return outcome;
  }
  state_.running = false;
  EnableControls(true);
  return outcome;
}

Status IndexModule::KeepWindowLive(const std::function<Status()>& step) {
  std::future<Status> result;
  try {
    result = std::async(std::launch::async, step);
  } catch (const std::system_error&) {
    return step();  // no thread to be had: the step runs here
  }
  while (result.wait_for(std::chrono::milliseconds(10)) !=
         std::future_status::ready) {
    ports_.yield.ProcessPendingEvents();
  }
  return result.get();
}

RunFlags IndexModule::LetWindowSystemRun() {
  return orvane::LetWindowSystemRun(ports_.yield, ports_.launcher,
                                    state_.stop_flag);
}

void IndexModule::FailRun(const Status& status) {
  ports_.prompter.ShowMessage(MessageIcon::kError,
                              GetProgramText(kTextWriteErrorTitle),
                              status.message());
  state_.stop_flag = true;
}

std::uint32_t IndexModule::FileLimit() const {
  if (settings_.chkWriteClassicDataFile || state_.store_kind == IndexStoreKind::kClassic) {
    return std::min(state_.file_limit, kClassicMaxFilesIndexed);
  }
  return state_.file_limit;
}

RunOutcome IndexModule::ReportTooManyFiles(std::string_view caption) {
  std::string limit = std::to_string(FileLimit());
  ports_.view.SetText("lblNowProcessingFile", "Stopped at " + limit + " files.");
  ports_.prompter.ShowMessage(
      MessageIcon::kWarning, caption,
      "Too many files!  No more than " + limit + " files can be indexed.");
  return RunOutcome::kTooManyFiles;
}

RunOutcome IndexModule::RunExtraction(const SelectionRules& rules,
                                      const std::string& title_content) {
  IndexSettings& s = settings_;
  state_.index_path = IndexFilePath(s.txbOutputFolder, s.txbProjectName);
  state_.data_path = DataFilePath(s.txbOutputFolder, s.txbProjectName);
  // The files of an earlier index stay until the writer's Commit replaces
  // them: a run that is stopped, fails or is killed leaves them as they
  // were.
  std::unique_ptr<IndexStoreWriter> writer =
      NewIndexStoreWriter(state_.store_kind, s.txbOutputFolder,
                          s.txbProjectName, deletion_.get(),
                          s.chkWriteClassicDataFile);
  Status begun = writer->Begin(static_cast<std::uint32_t>(selection_.count));
  if (!begun.ok()) FailRun(begun);
  Unread unread;
  if (!state_.stop_flag) {
    unread = ReadSelectedFiles(rules, *writer);
    if (LetWindowSystemRun().KeepGoing()) WriteLexicon(title_content, *writer);
  }
  if (LetWindowSystemRun().quit) {
    writer->Discard();
    return RunOutcome::kQuit;
  }
  // From here on the file list holds the relative paths of the run.
  state_.file_list.clear();
  state_.file_list.reserve(selection_.file_list.size());
  for (const SelectedFile& file : selection_.file_list) {
    state_.file_list.push_back(file.relative_path);
  }
  std::string status_text;
  RunOutcome outcome = FinishIndexFiles(*writer, &status_text);
  if (outcome == RunOutcome::kCompleted) {
    TellLeftOut("file",
                " missing when it was to be read; the index lists it without "
                "any word.",
                unread.vanished);
    TellLeftOut("document",
                " not read; the index lists it without any word.",
                unread.documents, &unread.reasons);
  }
  ShowClosingStatus(std::move(status_text));
  return outcome;
}

void IndexModule::KeepDocumentText(const std::string& relative_path,
                                   const std::string& path,
                                   const DocumentSourceText& text,
                                   IndexStoreWriter& writer) {
  DocumentStamp stamp;
  if (!StampOfFile(path, &stamp)) return;
  Status kept =
      writer.KeepDocumentText(relative_path, stamp.size, stamp.modified_ns, text);
  if (!kept.ok()) FailRun(kept);
}

DocumentReader& IndexModule::Documents() {
  if (document_reader_ != nullptr) return *document_reader_;
  if (own_document_reader_ == nullptr) {
    own_document_reader_ = std::make_unique<ReaderPool>();
  }
  return *own_document_reader_;
}

IndexModule::Unread IndexModule::ReadSelectedFiles(
    const SelectionRules& rules, IndexStoreWriter& writer) {
  const std::size_t num_files = selection_.file_list.size();
  Lexicon& lexicon = lexicon_;
  // The files are read and cut into words on a thread of their own, a few
  // files ahead; the lexicon takes the words here, where the ports are
  // called.
  WordReader reader(&common_words_, rules.exclude_special_letters);
  RunObserver observer(this);
  Unread unread;
  ports_.view.SetText("cmdExtractData", GetProgramText(kTextPause));
  lexicon.StartPass();
  std::vector<WordReader::FileToRead> files;
  std::vector<std::string> document_paths;
  files.reserve(num_files);
  for (const SelectedFile& file : selection_.file_list) {
    const bool document = file.document != DocumentKind::kNone;
    files.push_back({rules.top_folder + file.relative_path,
                     file.text_kind == kCheckTextLfOnly, document});
    if (document) document_paths.push_back(files.back().path);
  }
  // The documents' words are taken here, with a list of common words of
  // their own: the reading threads use the run's.
  CommonWords document_common_words = common_words_;
  std::optional<RunDocuments> documents;
  if (!document_paths.empty()) {
    DocumentReader& document_reader = Documents();
    documents.emplace(&document_reader, std::move(document_paths),
                      kDocumentsAhead);
  }
  const KeepWaiting keep_waiting = [this] {
    return LetWindowSystemRun().KeepGoing();
  };
  bool documents_lexicon_full = false;
  reader.Start(std::move(files), state_.store_kind == IndexStoreKind::kStore
                                     ? FindFileDetails(DetailsOfFile)
                                     : FindFileDetails());
  for (std::size_t f = 0; f < num_files; ++f) {
    const SelectedFile& file = selection_.file_list[f];
    const std::string path = rules.top_folder + file.relative_path;
    lexicon.StartFile();
    ports_.view.SetText(
        "lblCurrentFile",
        ShortenForDisplay(path, kMaxCurrentFileLength) + " (" +
            FormatByteSize(static_cast<double>(file.size), 0,
                           ports_.number_format) +
            ")");
    ports_.view.SetText("lblNowProcessingFile",
                        "Now processing file #" +
                            FormatGrouped(static_cast<double>(f + 1)) + ".");
    ports_.view.SetProgress(kRunProgressBar, static_cast<std::int32_t>(f),
                            static_cast<std::int32_t>(num_files));
    ports_.view.Repaint();
    ports_.progress.FileStarted(static_cast<std::int64_t>(f + 1),
                                static_cast<std::int64_t>(num_files), path);
    observer.StartFile();
    // The reading thread found the file's details as it began the file.
    FileDetails details;
    Result<WordExtractor::FileResult> handed =
        reader.HandOnFile(&lexicon, &observer, &details);
    IndexedFile entry = details.Entry();
    entry.relative_path = file.relative_path;
    writer.AddFile(entry);
    if (file.document != DocumentKind::kNone && handed.ok()) {
      // The run waits here for the document, asking the window system
      // between waits, so that Pause and Cancel answer at once.
      std::optional<DocumentOutcome> outcome = documents->Next(keep_waiting);
      if (!outcome.has_value()) break;
      if (!outcome->ok()) {
        unread.documents.push_back(path);
        unread.reasons.push_back(outcome->reason);
      } else {
        const bool decode_utf8 = ContentHoldsUtf8(outcome->text);
        DocumentContent content = ToContent(std::move(outcome->text));
        KeepDocumentText(file.relative_path, path,
                         ToSourceText(content, decode_utf8), writer);
        if (!ExtractDocumentWords(content, decode_utf8,
                                  rules.exclude_special_letters,
                                  &document_common_words, &lexicon,
                                  &observer)) {
          documents_lexicon_full = true;
        }
      }
    }
    if (!handed.ok()) {
      ports_.prompter.ShowMessage(MessageIcon::kWarning, "Error",
                                  handed.status().message() + ":\r\n" + path);
      state_.stop_flag = true;
    } else if (*handed == WordExtractor::FileResult::kVanished) {
      // Its line stays in the file list and its column stays 0, so the
      // file list and every count line agree on N.
      unread.vanished.push_back(path);
    }
    if (reader.lexicon_full() || documents_lexicon_full) {
      ports_.prompter.ShowMessage(
          MessageIcon::kWarning, "Error",
          "The lexicon cannot hold more than " +
              FormatGrouped(static_cast<double>(Lexicon::kMaxWords)) +
              " words.");
      state_.stop_flag = true;
    }
    if (!LetWindowSystemRun().KeepGoing()) break;
    if (lexicon.largest_count() > 0) lexicon.WriteFileScores(writer);
  }
  reader.Stop();
  return unread;
}

void IndexModule::WriteLexicon(const std::string& title_content,
                               IndexStoreWriter& writer) {
  ports_.view.SetProgress(kRunProgressBar, selection_.count, selection_.count);
  ShowWordsFoundSoFar();
  ports_.view.SetEnabled("cmdExtractData", false);
  ports_.view.SetText("lblNowProcessingFile",
                      GetProgramText(kTextDifferentWords) + ": " +
                          FormatGrouped(lexicon_.word_count()));
  ports_.progress.Writing(lexicon_.word_count());
  Status written = KeepWindowLive(
      [&] { return writer.WriteLexicon(title_content, lexicon_); });
  if (!written.ok()) {
    ports_.prompter.ShowMessage(
        MessageIcon::kWarning, GetProgramText(kTextWriteErrorTitle),
        GetProgramText(kTextLexiconWriteError) + "\r\n" + written.message());
    state_.stop_flag = true;
  }
  ports_.view.SetText("cmdExtractData", GetProgramText(kTextFinishing));
  ports_.view.SetText("lblDifferentWordsFoundSoFar", "");
  ports_.view.Repaint();
}

RunOutcome IndexModule::FinishIndexFiles(IndexStoreWriter& writer,
                                         std::string* status_text) {
  if (!state_.stop_flag) {
    Status written = KeepWindowLive([&] { return writer.FinishWriting(); });
    if (!written.ok()) FailRun(written);
  }
  if (state_.stop_flag) {
    *status_text = "Data extraction stopped.";
    writer.Discard();
    return RunOutcome::kStopped;
  }
  // An index file that is not compressed is no index the Search Module
  // can read: it must not take the place of the earlier one.
  if (!KeepWindowLive([&] { return writer.CompressIndexFile(); }).ok()) {
    writer.Discard();
    *status_text = "Compression error when creating index file.";
    return RunOutcome::kCompressionFailed;
  }
  Status published = KeepWindowLive([&] { return writer.Commit(); });
  if (!published.ok()) {
    FailRun(published);
    writer.Discard();
    *status_text = "Data extraction stopped.";
    return RunOutcome::kStopped;
  }
  *status_text = "Data extraction completed.";
  state_.index_created = true;
  KeepSettingsBesideIndex();
  return RunOutcome::kCompleted;
}

void IndexModule::KeepSettingsBesideIndex() {
  const std::string path = IndexSettingsPathFor(state_.index_path);
  Status kept = WriteSettingsFile(path, settings_);
  if (!kept.ok()) {
    ports_.prompter.ShowMessage(
        MessageIcon::kWarning, "Settings not kept",
        "The index was made, but the settings it was made with could not "
        "be kept beside it in " + path + ": " + kept.message());
  }
}

void IndexModule::ShowClosingStatus(std::string status_text) {
  ports_.view.SetText("lblCurrentFile", "");
  if (state_.index_created) {
    ports_.view.SetVisible("cmdListFiles[1]", true);
    status_text +=
        "   Index file is " + settings_.txbProjectName + "_index.tavo.";
  } else {
    ports_.view.SetVisible("cmdListFiles[1]", false);
  }
  // Every run tells its time, and the words it found; the label that said
  // the index file was being written says so no more.
  double elapsed = ports_.clock.SecondsSinceMidnight() - start_time_;
  if (elapsed < 0) elapsed += kSecondsPerDay;
  const std::string time_text =
      "Time = " +
      FormatElapsedTime(static_cast<float>(elapsed), ports_.number_format) +
      ".";
  ports_.view.SetText("lblCurrentFile", status_text + "  " + time_text);
  // What the rules left out, by reason, under the closing status.
  const std::string left_out =
      state_.index_created ? LeftOutText(selection_, ports_.number_format)
                           : std::string();
  if (state_.index_created) {
    ports_.progress.Summary(selection_.count, selection_.total_size, left_out);
  }
  ports_.progress.Finished(status_text + "  " + time_text);
  ports_.view.SetText(
      "lblNowProcessingFile",
      state_.index_created
          ? "Different words found: " + FormatGrouped(lexicon_.word_count())
          : std::string());
  ports_.view.SetText("lblDifferentWordsFoundSoFar", left_out);
  state_.running = false;
  EnableControls(true);
  ports_.view.SetFocus(state_.index_created ? "cmdListFiles[1]"
                                            : "cmdExtractData");
}

}  // namespace orvane
