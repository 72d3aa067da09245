#include "engine/modules/search_window.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "engine/common/program_texts.h"
#include "engine/files/background_deletion.h"
#include "engine/files/folder.h"
#include "engine/format/file_names.h"
#include "engine/modules/index_folders.h"
#include "engine/search/search_settings_file.h"
#include "engine/text/file_checks.h"
#include "engine/text/number_text.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

constexpr std::string_view kCrLf = "\r\n";

constexpr std::string_view kSettingsFilter = "*.usrs";

DialogRequest SettingsDialog(std::string title) {
  DialogRequest request;
  request.title = std::move(title);
  request.filters = {{"Settings file", std::string(kSettingsFilter)}};
  return request;
}

// A name typed without an extension gets ".usrs", as the dialog's filter
// suggests.
std::string WithSettingsExtension(std::string path) {
  std::string_view name = std::string_view(path).substr(path.rfind('/') + 1);
  if (name.find('.') == std::string_view::npos) path += ".usrs";
  return path;
}

// The folder of a path ("/a/b_index.tavo": "/a/"), or empty.
std::string FolderOfPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

SettingsOutcome Combined(SettingsOutcome first, SettingsOutcome second) {
  second.saved = second.saved || first.saved;
  return second;
}

}  // namespace

SearchWindow::SearchWindow(SearchModule& module, Dialogs& dialogs)
    : module_(module), dialogs_(dialogs) {}

void SearchWindow::SetSearchDefaults() {
  SearchSettings* settings = &module_.settings();
  SearchState* state = &module_.state();
  ViewState& view = module_.ports().view;
  SearchSettings fresh;
  fresh.html_report_path = settings->html_report_path;
  fresh.open_html_report = settings->open_html_report;
  *settings = std::move(fresh);

  module_.ForgetIndex();
  state->strSearchWords.clear();
  state->search_words.clear();
  state->strFilesFound.clear();
  state->strFileTitles.clear();
  state->strFileDescriptions.clear();
  state->intNumFilesFound = 0;
  state->blnTopFolderChecked = false;
  state->blnSortRequestedAfterSearch = false;
  state->blnSearchWordsChanged = false;
  state->intMaxNumExtracts = -1;
  state->results.Clear();

  for (std::string_view label :
       {"lblNumFilesFound", "lblSearchableWords", "lblTitle[1]", "lblStatus"}) {
    view.SetText(label, "");
  }
  for (std::string_view button : {"cmdClear[0]", "cmdClear[1]", "cmdClear[2]",
                                  "cmdClear[3]", "cmdClear[4]"}) {
    view.SetVisible(button, false);
  }
}

void SearchWindow::ApplyFocusRule(const SearchWindowFacts& facts) {
  const SearchSettings& settings = module_.settings();
  ViewState& view = module_.ports().view;
  view.SetEnabled("cmdListIndexedFiles", !settings.txbIndexFile.empty());
  if (!facts.window_visible) return;
  if (settings.txbTopFolder.empty() && facts.cmdTopFolder_usable) {
    view.SetFocus("cmdTopFolder");
  } else if (settings.txbIndexFile.empty() && facts.cmdIndexFile_enabled) {
    view.SetFocus("cmdIndexFile");
  } else if (settings.txbSearchWords.empty() && facts.txbSearchWords_enabled) {
    view.SetFocus("txbSearchWords");
  } else if (facts.cmdSearch_enabled) {
    view.SetFocus("cmdSearch");
  }
}

void SearchWindow::Timer1_Timer(const SearchTimerFacts& facts) {
  SearchSettings* settings = &module_.settings();
  ViewState& view = module_.ports().view;
  if (facts.cmdListIndexedFiles_visible) {
    view.SetEnabled("optByFolder", facts.cmdListIndexedFiles_enabled);
    view.SetEnabled("optAlphabetically", facts.cmdListIndexedFiles_enabled);
  }
  std::string trimmed = TrimSpaces(settings->txbIndexFile);
  if (trimmed != settings->txbIndexFile) {
    settings->txbIndexFile = trimmed;
    view.SetText("txbIndexFile", trimmed);
  }
  const bool index_named = !settings->txbIndexFile.empty();
  view.SetEnabled("optSearchAllFiles", index_named);
  view.SetEnabled("optSearchSingleFile", index_named);
  view.SetEnabled("cmdClear[0]", !facts.results_empty);
  view.SetEnabled("cmdCopyToClipboard", !facts.results_empty);
}

void SearchWindow::ShowSearchMode(const SearchWindowFacts& facts) {
  const SearchSettings& settings = module_.settings();
  ViewState& view = module_.ports().view;
  const bool single = settings.optSearchSingleFile;
  view.SetVisible("fraListIndexedFilesBy", !single);
  view.SetVisible("cmdListIndexedFiles", !single);
  view.SetVisible("txbSingleFile", single);
  view.SetVisible("cmdSpecifyFile", single);
  view.SetVisible("cmdClear[4]", single && !settings.txbSingleFile.empty());
  if (single) {
    if (facts.window_visible) view.SetFocus("cmdSpecifyFile");
    return;
  }
  ApplyFocusRule(facts);
}

std::string_view BoldModeOption(const SearchSettings& settings) {
  if (settings.txbTopFolder.empty()) return std::string_view();
  return settings.optSearchSingleFile ? "optSearchSingleFile"
                                      : "optSearchAllFiles";
}

void SearchWindow::Clear(int element_index) {
  SearchSettings* settings = &module_.settings();
  SearchState* state = &module_.state();
  ViewState& view = module_.ports().view;
  auto hide_self = [&] {
    view.SetVisible("cmdClear[" + std::to_string(element_index) + "]", false);
  };
  switch (element_index) {
    case 0:
      state->results.Clear();
      return;
    case 1:
      settings->txbTopFolder.clear();
      view.SetText("txbTopFolder", "");
      state->results.Clear();
      state->blnTopFolderChecked = false;
      hide_self();
      view.SetFocus("cmdTopFolder");
      return;
    case 2:
      settings->txbIndexFile.clear();
      settings->project_title.clear();
      view.SetText("txbIndexFile", "");
      state->results.Clear();
      hide_self();
      for (std::string_view label :
           {"lblSearchableWords", "lblNumFilesFound", "lblTitle[1]"}) {
        view.SetText(label, "");
      }
      module_.ForgetIndex();
      view.SetFocus("cmdIndexFile");
      view.SetEnabled("cmdListIndexedFiles", false);
      return;
    case 3:
      settings->txbSearchWords.clear();
      view.SetText("txbSearchWords", "");
      hide_self();
      view.SetFocus("txbSearchWords");
      return;
    case 4:
      settings->txbSingleFile.clear();
      view.SetText("txbSingleFile", "");
      hide_self();
      view.SetFocus("txbSearchWords");
      return;
    default:
      return;
  }
}

void SearchWindow::ShowClearButtons() {
  const SearchSettings& settings = module_.settings();
  ViewState& view = module_.ports().view;
  view.SetVisible("cmdClear[1]", !settings.txbTopFolder.empty());
  view.SetVisible("cmdClear[2]", !settings.txbIndexFile.empty());
  view.SetVisible("cmdClear[3]", !settings.txbSearchWords.empty());
  view.SetVisible("cmdClear[4]", settings.optSearchSingleFile &&
                                     !settings.txbSingleFile.empty());
}

std::string CopyButtonCaption(bool text_selected) {
  return GetProgramText(text_selected ? 32 : 33);
}

std::string MinimisedCaption() { return "TAVO -- " + GetProgramText(5); }

std::string SearchWindow::IndexFileDialogFolder() const {
  std::string index = module_.settings().txbIndexFile;
  if (index.empty() || !FolderExists(FolderOfPath(index))) {
    index = LatestNotedIndex(IndexFoldersPath());
  }
  const std::string folder = FolderOfPath(index);
  return FolderExists(folder) ? folder : std::string();
}

std::string SearchWindow::FoundFileAtLine(std::string_view line) const {
  const SearchSettings& settings = module_.settings();
  const SearchState& state = module_.state();
  const std::string& top = settings.txbTopFolder;
  if (top.empty() || line.size() <= top.size() ||
      line.compare(0, top.size(), top) != 0) {
    return std::string();
  }
  std::string_view relative = line.substr(top.size());
  const auto found = static_cast<std::size_t>(state.intNumFilesFound);
  for (std::size_t i = 0; i < found && i < state.strFilesFound.size(); ++i) {
    if (state.strFilesFound[i] == relative) return std::string(line);
  }
  return std::string();
}

void SearchWindow::SettingsItemChosen() {
  module_.ports().prompter.ShowMessage(
      MessageIcon::kNone, "Settings",
      "Now click on the 'Settings' button to do this.");
}

SettingsOutcome SearchWindow::SaveSettings(const std::string& path,
                                           bool show_pop_up) {
  const SearchSettings& settings = module_.settings();
  std::string file = path;
  if (file.empty()) {
    DialogRequest request =
        SettingsDialog("Specify file for settings for search module");
    request.file_name = ProposedSettingsFileName(settings.txbIndexFile);
    file = dialogs_.SaveFile(request);
    if (file.empty()) return SettingsOutcome();
    file = WithSettingsExtension(std::move(file));
  }
  SettingsOutcome outcome;
  Status written = WriteSearchSettingsFile(file, settings);
  if (written.ok()) {
    outcome.saved = true;
    outcome.pop_up = show_pop_up;
  } else {
    module_.ports().prompter.ShowMessage(MessageIcon::kWarning, "Save state",
                                         written.message());
  }
  module_.ports().view.SetFocus("cmdSearch");
  return outcome;
}

SettingsOutcome SearchWindow::LoadSettings(const std::string& path,
                                           bool startup_completed) {
  SearchSettings* settings = &module_.settings();
  SearchPorts& ports = module_.ports();
  std::string file = path;
  if (file.empty()) {
    file = dialogs_.OpenFile(
        SettingsDialog("Specify search module settings file"));
    if (file.empty()) return SettingsOutcome();
  }
  SearchSettings read;
  read.html_report_path = settings->html_report_path;
  read.open_html_report = settings->open_html_report;
  switch (ReadSearchSettingsFile(file, &read)) {
    case SearchSettingsRead::kForeign:
      if (startup_completed) {
        ports.prompter.ShowMessage(
            MessageIcon::kWarning, "Load settings",
            "Invalid input.  Probably this is not a settings file for the "
            "search module.");
      }
      return SettingsOutcome();
    case SearchSettingsRead::kCannotOpen:
      if (startup_completed) {
        ports.prompter.ShowMessage(
            MessageIcon::kWarning, "Load settings",
            "The settings file " + file + " cannot be read.");
      }
      return SettingsOutcome();
    case SearchSettingsRead::kRead:
    case SearchSettingsRead::kStopped:
      break;
  }

  SetSearchDefaults();
  std::string top = TrimSpaces(read.txbTopFolder);
  std::string index_file = TrimSpaces(read.txbIndexFile);
  *settings = std::move(read);
  settings->txbTopFolder.clear();
  settings->txbIndexFile.clear();
  module_.state().blnTopFolderChecked = false;

  if (!top.empty()) {
    if (FolderExists(top)) {
      AddTrailingBackslash(top);
      settings->txbTopFolder = top;
    } else if (startup_completed) {
      ports.prompter.ShowMessage(MessageIcon::kWarning, "Folder not found",
                                 "Top folder " + top + std::string(kCrLf) +
                                     "from last run not found.");
    }
  }
  // Only an absolute path to an existing index file is kept.
  if (!index_file.empty() && index_file[0] == '/' &&
      index_file.find(kIndexFileEnding) != std::string::npos &&
      FileExists(index_file)) {
    settings->txbIndexFile = index_file;
  }
  ports.view.SetText("lblTitle[1]", settings->project_title);
  ShowClearButtons();
  ports.view.Repaint();
  SettingsOutcome outcome;
  outcome.loaded = true;
  return outcome;
}

SettingsOutcome SearchWindow::RunSettingsCommand(SettingsCommand command) {
  switch (command) {
    case SettingsCommand::kSaveForNextRun:
      return SaveSettings(DefaultSearchSettingsPath(), true);
    case SettingsCommand::kSaveToFile:
      return SaveSettings("", true);
    case SettingsCommand::kSaveInBothWays: {
      SettingsOutcome first = SaveSettings(DefaultSearchSettingsPath(), false);
      return Combined(first, SaveSettings("", true));
    }
    case SettingsCommand::kLoadFromFile:
      return LoadSettings("", true);
  }
  return SettingsOutcome();
}

void SearchWindow::DeleteDataFileOnQuit() {
  const SearchSettings& settings = module_.settings();
  const SearchState& state = module_.state();
  SearchPorts& ports = module_.ports();
  if (!settings.chkOnQuitDeleteDataFile) return;
  // The index named but never loaded still has its files beside it.
  const std::string data_file = state.index.strDataFile.empty()
                                    ? DataFilePathFor(settings.txbIndexFile)
                                    : state.index.strDataFile;
  std::string store_file;
  if (data_file.size() >= kDataFileEnding.size()) {
    store_file = data_file.substr(0, data_file.size() - kDataFileEnding.size()) +
                 std::string(kStoreFileEnding);
  }
  std::vector<std::string> files;
  std::uintmax_t size = 0;
  for (const std::string& file : {store_file, data_file}) {
    if (file.empty() || !FileExists(file)) continue;
    std::error_code ec;
    const std::uintmax_t bytes = std::filesystem::file_size(file, ec);
    if (ec) continue;
    files.push_back(file);
    size += bytes;
  }
  if (files.empty()) return;
  const bool store = files.front() == store_file;
  const bool both = files.size() == 2;
  const std::string what = !store ? "data file"
                           : both ? "store and data files"
                                  : "store file";
  const std::string title = both ? "Delete store and data files?"
                                 : "Delete " + what + "?";
  if (size > 0) {
    std::string text =
        "The " + what + (both ? " currently occupy " : " currently occupies ") +
        FormatKilobytes(static_cast<std::int64_t>(size), ports.number_format) +
        "." + std::string(kCrLf) + "Do you wish to delete " +
        (both ? "them" : "it") + "?" + std::string(kCrLf);
    // The search makes the store again; a data file alone, it makes again
    // only where it reads the classic pair.
    text += store ? "(If so, the store file will be recreated next time you "
                    "search.)"
                  : "(If so, it will be recreated next time you search.)";
    Answer answer = ports.prompter.Ask(MessageIcon::kNone, title, text,
                                       MessageButtons::kYesNo);
    if (answer != Answer::kYes) return;
  }
  // The blocks of a large file are freed behind the window.
  BackgroundDeletion deletion;
  for (const std::string& file : files) {
    if (!deletion.Delete(file, DeleteOptions{})) {
      ports.prompter.ShowMessage(MessageIcon::kError, title,
                                 "The " +
                                     std::string(file == store_file ? "store file "
                                                                    : "data file ") +
                                     file + " could not be deleted.");
    }
  }
}

}  // namespace orvane
