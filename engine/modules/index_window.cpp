#include "engine/modules/index_window.h"

#include <filesystem>

#include "engine/common/program_folder.h"
#include "engine/common/program_texts.h"
#include "engine/files/drive_type.h"
#include "engine/files/filepath_exclusions.h"
#include "engine/files/folder.h"
#include "engine/format/file_names.h"
#include "engine/index/settings_file.h"
#include "engine/shell/shell.h"
#include "engine/text/charset.h"
#include "engine/text/file_checks.h"
#include "engine/text/number_text.h"
#include "engine/text/sorting.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

// Numbered UI texts of the window.
constexpr std::int16_t kTextSpecialLetters = 18;
constexpr std::int16_t kTextIntro = 19;
constexpr std::int16_t kTextNoTopFolderYet = 23;
constexpr std::int16_t kTextSelectSubfolders = 24;
constexpr std::int16_t kTextNoSubfoldersIncluded = 25;
constexpr std::int16_t kTextOneSubfolderIncluded = 26;
constexpr std::int16_t kTextSubfoldersIncluded = 27;
constexpr std::int16_t kTextNoSubfolders = 29;
constexpr std::int16_t kTextTheFile = 40;
constexpr std::int16_t kTextNotInListedFolder = 41;
constexpr std::int16_t kTextExtensionNeverIndexed = 42;
constexpr std::int16_t kTextClearWhat = 51;
constexpr std::int16_t kTextTopFolderHasNoFiles = 53;
constexpr std::int16_t kTextAlreadyExcluded = 54;
constexpr std::int16_t kTextFilesExcluded = 55;
constexpr std::int16_t kTextResetWarning = 58;
constexpr std::int16_t kTextResetQuestion = 59;
constexpr std::int16_t kTextSubfoldersOfThisSubfolder = 88;
constexpr std::int16_t kTextSubfoldersOfTheseSubfolders = 89;
constexpr std::int16_t kTextFilesNotInListedFolders = 98;
constexpr std::int16_t kTextExcludeFilesDialog = 99;

constexpr std::int16_t kMaxCheckboxes = 13;
constexpr std::string_view kProjectNameInadmissible = ":\\/,<>'&\"";
constexpr std::string_view kSettingsFilter = "*.usri";

enum ClearItem {
  kClearWhat,
  kClearProjectName,
  kClearTitle,
  kClearTopFolder,
  kClearIncludedSubfolders,
  kClearExcludedFiles,
  kClearExcludedFilepaths,
  kClearMinimumFilesize,
  kClearOutputFolder,
};

enum SettingsItem {
  kSaveForNextRun,
  kSaveToFile,
  kSaveInBothWays,
  kLoadFromFile,
};

void SortList(std::vector<std::string>* list) {
  if (list->size() > 1) {
    SortAscending(*list, 0, static_cast<int>(list->size()) - 1);
  }
}

// Keeps the entries of a one-a-line field that exist below the top folder.
std::string KeepExisting(const std::string& top_folder,
                         const std::string& field, bool folders) {
  std::vector<std::string> kept;
  for (const std::string& entry : SplitTrimmedLines(field)) {
    std::string full = top_folder + entry;
    if (folders ? FolderExists(full) : FileExists(full)) kept.push_back(entry);
  }
  return JoinLines(kept);
}

// Whether the walk of a run visits the subfolder rel (relative to the top
// folder, "/" between levels) and so lists its files: each level on the way
// down must pass the folder rule of the included subfolders.
bool FilesOfFolderAreListed(const IndexSettings& s, const std::string& rel) {
  if (rel.empty()) return !s.chkExcludeFilesInTopFolder;
  std::vector<std::string> included;
  for (const std::string& entry : SplitTrimmedLines(s.txbIncludedFolders)) {
    included.push_back(LowerCaseText(entry));
  }
  std::vector<std::string> excluded;
  for (const std::string& item :
       SplitExcludedFilepaths(s.txbExcludedFilepaths)) {
    excluded.push_back(LowerCaseText(item));
  }
  const std::string lower_rel = LowerCaseText(rel);
  std::size_t end = 0;
  while (end != std::string::npos) {
    end = lower_rel.find('/', end + 1);
    std::string level = lower_rel.substr(0, end);
    bool visited = false;
    for (const std::string& folder : included) {
      if (s.chkIncludeSubfoldersOfSubfolders) {
        if (IsPathWithinFolder(level, folder, false)) {
          std::string path = LowerCaseText(s.txbTopFolder) + level;
          visited = true;
          for (const std::string& item : excluded) {
            if (path.find(item) != std::string::npos) visited = false;
          }
          break;
        }
      } else if (level == folder) {
        visited = true;
        break;
      }
    }
    if (!visited) return false;
  }
  return true;
}

std::string ExtensionOf(const std::string& path) {
  std::string name = std::filesystem::path(path).filename().string();
  std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string()
                                  : LowerCaseText(name.substr(dot + 1));
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The hint titles: the item's first word, or the whole item.
std::string HintTitle(std::string_view item) { return FirstWord(item); }

}  // namespace

const std::vector<std::string_view> kIndexWindowControls = {
    "txbProjectName",   "txbTitle",
    "cmdTopFolder",     "txbTopFolder",
    "cmdOutputFolder",  "txbOutputFolder",
    "cmdSelectSubfolders", "txbIncludedFolders",
    "lblNumSubfoldersSelected", "chkIncludeSubfoldersOfSubfolders",
    "chkExcludeFilesInTopFolder", "lblTopFolderIsEmpty",
    "cmdExcludeFiles",  "txbExcludedFiles",
    "lblNumExcludedFiles", "lblExcludeFilepathsContaining",
    "txbExcludedFilepaths", "cmdExpandFilepathExclusions",
    "lblMinFilesize",   "txbMinimumFilesize",
    "chkExcludeSpecialLetters", "chkWriteClassicDataFile",
    "chkReadDocuments",
    "cmdListFiles[0]",
    "cmdListFiles[1]",  "cmdExtractData",
    "cboSettings",      "cmdSettings",
    "cboClear",         "cmdClear",
    "cmdReset",         "cmdSwitchToSearchModule",
    "cmdQuit",          "lblTotalNumFiles",
    "lblTotalFileSize", "lblNowProcessingFile",
    "lblCurrentFile",   "lblDifferentWordsFoundSoFar",
    "lblIntro",         "lblUserManual",
    "lblUserManualURL", "lblOrvaneSystems",
};

std::string TypedProjectName(std::string_view text) {
  std::string name(text);
  for (char& c : name) {
    if (c == ' ') c = '_';
  }
  return name;
}

std::string NumSubfoldersText(std::int32_t count) {
  if (count == 1) return GetProgramText(kTextOneSubfolderIncluded);
  return NumberToWords(count) + " " + GetProgramText(kTextSubfoldersIncluded);
}

std::string NumExcludedFilesText(std::int32_t count) {
  if (count == 0) return "No files are excluded.";
  if (count == 1) return "One file is excluded.";
  return ReplaceAll(GetProgramText(kTextFilesExcluded), "99",
                    std::to_string(count));
}

std::string ExcludeFilesInTopFolderText(std::int32_t files) {
  if (files == 1) return "Exclude the single file in the top folder.";
  return "Exclude the " + std::to_string(files) + " files in the top folder.";
}

IndexWindow::IndexWindow(IndexModule& module, Dialogs& dialogs)
    : is_on_cd_rom(IsOnCdRom), module_(module), dialogs_(dialogs) {}

void IndexWindow::Form_Load(const std::string& default_settings_file) {
  startup_completed_ = false;
  module_.ports().view.SetText("lblUserManualURL", Shell::kUserManualCaption);
  SetDefaults();
  if (!default_settings_file.empty()) {
    default_settings_file_ = default_settings_file;
  }
  if (FileExists(default_settings_file_)) LoadSettings(default_settings_file_);
  CheckProjectName();
  ClearProgressLabels();
  RefreshTopFolderState();
  if (!settings().txbExcludedFiles.empty()) TidyExcludedFiles();
  startup_completed_ = true;
  FocusNextControl();
}

void IndexWindow::SetDefaults() {
  ViewState& view = module_.ports().view;
  IndexState& state = module_.state();
  state.index_created = false;
  HideIndexedFilesButton();
  state.file_limit = MaxFilesIndexed(state.store_kind);
  view.SetText("chkExcludeSpecialLetters", GetProgramText(kTextSpecialLetters));
  module_.common_words().LoadCommonWords(ProgramFilePath("cwds.txt"));
  view.SetText("lblIntro", GetProgramText(kTextIntro));
  view.SetText("lblNumExcludedFiles", "");
  last_settings_file_.clear();
  default_settings_file_ =
      GetAppDataFilePath(kDefaultIndexSettingsFile, kAppDataSubfolder);
  intNumIncludedSubFolders = 0;
  intNumExcludedFiles = 0;
  view.SetText("lblNumSubfoldersSelected",
               GetProgramText(kTextNoSubfoldersIncluded));
  state.file_list.clear();
  state.index_path.clear();
  state.data_path.clear();
  view.SetText("cboSettings", kSettingsCommands[0]);
  view.SetText("cboClear", kClearCommands[0]);
  ClearTotals();
  ClearProgressLabels();
  orvane::SetDefaults(&settings());
}

void IndexWindow::CheckProjectName() {
  IndexSettings& s = settings();
  IndexState& state = module_.state();
  s.txbProjectName = TrimSpaces(s.txbProjectName);
  std::size_t bad = s.txbProjectName.find_first_of(kProjectNameInadmissible);
  if (bad != std::string::npos) {
    module_.ports().prompter.ShowMessage(
        MessageIcon::kWarning, "Project name",
        "The project name contains an inadmissible character: " +
            s.txbProjectName.substr(bad, 1));
    state.index_path.clear();
    state.data_path.clear();
  } else if (s.txbProjectName.empty()) {
    state.index_path.clear();
    state.data_path.clear();
  } else {
    state.index_path = IndexFilePath(s.txbOutputFolder, s.txbProjectName);
    state.data_path = DataFilePath(s.txbOutputFolder, s.txbProjectName);
  }
}

void IndexWindow::ClearProgressLabels() {
  ViewState& view = module_.ports().view;
  for (std::string_view label :
       {"lblNowProcessingFile", "lblCurrentFile", "lblDifferentWordsFoundSoFar"}) {
    view.SetText(label, "");
  }
}

void IndexWindow::ClearTotals() {
  module_.ports().view.SetText("lblTotalNumFiles", "");
  module_.ports().view.SetText("lblTotalFileSize", "");
}

void IndexWindow::HideIndexedFilesButton() {
  module_.ports().view.SetVisible("cmdListFiles[1]", false);
}

void IndexWindow::RefreshTopFolderState() {
  ViewState& view = module_.ports().view;
  IndexSettings& s = settings();
  const bool has_top = !s.txbTopFolder.empty();
  view.SetText("lblTopFolderIsEmpty", "");
  view.SetEnabled("cmdExcludeFiles", has_top);
  view.SetEnabled("txbExcludedFiles", has_top);
  view.SetVisible("lblNumExcludedFiles", has_top);
  view.SetVisible("lblTopFolderIsEmpty", has_top);
  if (!has_top) {
    has_subfolders_ = false;
    s.chkExcludeFilesInTopFolder = false;
    view.SetVisible("chkExcludeFilesInTopFolder", false);
    view.SetEnabled("cmdSelectSubfolders", false);
    view.SetVisible("chkIncludeSubfoldersOfSubfolders", false);
    view.SetVisible("lblNumSubfoldersSelected", false);
    return;
  }
  double unused_size = 0;
  // A top folder that vanished or cannot be read counts as empty.
  Result<std::int32_t> counted =
      CountFilesInFolder(s.txbTopFolder, "*.*", false, nullptr, &unused_size);
  const std::int32_t files = counted.ok() ? *counted : 0;
  if (files == 0) {
    view.SetText("lblTopFolderIsEmpty",
                 GetProgramText(kTextTopFolderHasNoFiles));
    view.SetEnabled("cmdExcludeFiles", false);
  }
  std::string error;
  std::int32_t error_number = 0;
  has_subfolders_ = CountSubfolders(s.txbTopFolder, &error, &error_number) > 0;
  view.SetEnabled("cmdSelectSubfolders", has_subfolders_);
  const bool box_visible = files > 0 && has_subfolders_;
  view.SetVisible("chkExcludeFilesInTopFolder", box_visible);
  if (box_visible) {
    view.SetText("chkExcludeFilesInTopFolder",
                 ExcludeFilesInTopFolderText(files));
  }
  view.SetVisible("lblNumSubfoldersSelected", true);
  intNumIncludedSubFolders = static_cast<std::int16_t>(
      SplitTrimmedLines(s.txbIncludedFolders).size());
  if (has_subfolders_) {
    view.SetEnabled("txbIncludedFolders", true);
    view.SetEnabled("chkExcludeFilesInTopFolder", true);
    view.SetVisible("chkIncludeSubfoldersOfSubfolders",
                    intNumIncludedSubFolders > 0);
    if (intNumIncludedSubFolders > 0) {
      view.SetText("chkIncludeSubfoldersOfSubfolders",
                   GetProgramText(intNumIncludedSubFolders == 1
                                      ? kTextSubfoldersOfThisSubfolder
                                      : kTextSubfoldersOfTheseSubfolders));
      view.SetEnabled("cmdExcludeFiles", true);
      UpdateNumSubfoldersSelected();
    } else {
      view.SetText("lblNumSubfoldersSelected",
                   GetProgramText(kTextNoSubfoldersIncluded));
      s.chkExcludeFilesInTopFolder = false;
    }
    ClearTotals();
    ClearProgressLabels();
  } else {
    s.chkExcludeFilesInTopFolder = false;
    view.SetVisible("chkIncludeSubfoldersOfSubfolders", false);
    view.SetEnabled("txbIncludedFolders", false);
    view.SetText("lblNumSubfoldersSelected", GetProgramText(kTextNoSubfolders));
  }
}

void IndexWindow::UpdateNumSubfoldersSelected() {
  intNumIncludedSubFolders = static_cast<std::int16_t>(
      SplitTrimmedLines(settings().txbIncludedFolders).size());
  module_.ports().view.SetText("lblNumSubfoldersSelected",
                               NumSubfoldersText(intNumIncludedSubFolders));
}

void IndexWindow::UpdateNumExcludedFiles() {
  intNumExcludedFiles = static_cast<std::int16_t>(
      SplitTrimmedLines(settings().txbExcludedFiles).size());
  module_.ports().view.SetText("lblNumExcludedFiles",
                               NumExcludedFilesText(intNumExcludedFiles));
  module_.ports().view.Repaint();
}

void IndexWindow::ShowExcludedFiles(std::vector<std::string> entries) {
  SortList(&entries);
  settings().txbExcludedFiles = JoinLines(entries);
  UpdateNumExcludedFiles();
}

void IndexWindow::TidyExcludedFiles() {
  ShowExcludedFiles(SplitTrimmedLines(settings().txbExcludedFiles));
}

void IndexWindow::ChooseTopFolder() {
  std::string folder = dialogs_.ChooseFolder(
      {"Specify top folder containing files and subfolders to be indexed",
       settings().txbTopFolder,
       "",
       {}});
  if (!folder.empty()) TakeTopFolder(folder);
}

void IndexWindow::TakeTopFolder(std::string folder) {
  IndexSettings& s = settings();
  AddTrailingBackslash(folder);
  // A new top folder starts without the tick of the last one's subfolders,
  // which stayed set, out of sight, once no subfolder was included.
  if (folder != s.txbTopFolder) s.chkIncludeSubfoldersOfSubfolders = false;
  s.txbTopFolder = folder;
  s.txbIncludedFolders = KeepExisting(folder, s.txbIncludedFolders, true);
  UpdateNumSubfoldersSelected();
  s.txbExcludedFiles = KeepExisting(folder, s.txbExcludedFiles, false);
  UpdateNumExcludedFiles();
  s.chkExcludeFilesInTopFolder = false;
  RefreshTopFolderState();
  module_.state().index_created = false;
  HideIndexedFilesButton();
  module_.ports().view.SetText("lblDifferentWordsFoundSoFar", "");
}

void IndexWindow::PathDropped(const std::string& path) {
  if (!FolderExists(path)) {
    module_.ports().prompter.ShowMessage(
        MessageIcon::kInformation, kTopFolderCaption,
        path +
            "\r\nis not a folder. A folder dropped on this window "
            "becomes the top folder.");
    return;
  }
  TakeTopFolder(path);
  FocusNextControl();
}

void IndexWindow::ChooseOutputFolder() {
  IndexSettings& s = settings();
  std::string folder = dialogs_.ChooseFolder(
      {"Specify folder for output files", s.txbOutputFolder, "", {}});
  if (folder.empty()) return;
  AddTrailingBackslash(folder);
  s.txbOutputFolder = folder;
  ClearProgressLabels();
  if (is_on_cd_rom && is_on_cd_rom(folder)) {
    module_.ports().prompter.ShowMessage(
        MessageIcon::kWarning, "Error",
        "The output folder cannot be located on a CD-ROM.");
    s.txbOutputFolder.clear();
  } else {
    module_.ports().view.SetFocus("cmdExtractData");
  }
}

void IndexWindow::ExcludeFiles() {
  IndexSettings& s = settings();
  Prompter& prompter = module_.ports().prompter;
  if (s.txbTopFolder.empty()) return;
  std::vector<std::string> chosen = dialogs_.OpenFiles(
      {GetProgramText(kTextExcludeFilesDialog), s.txbTopFolder, "", {}});
  if (chosen.empty()) return;
  std::vector<std::string> entries = SplitTrimmedLines(s.txbExcludedFiles);
  const std::string& top = s.txbTopFolder;
  bool extension_told = false;
  bool added = false;
  for (const std::string& path : chosen) {
    std::string folder = FolderOf(path);
    bool below_top = folder.compare(0, top.size(), top) == 0;
    std::string rel_folder = below_top ? folder.substr(top.size()) : "";
    StripTrailing(rel_folder, "/");
    if (!below_top || !FilesOfFolderAreListed(s, rel_folder)) {
      std::string text;
      if (chosen.size() == 1) {
        text = GetProgramText(kTextTheFile) + " " + path + "\r\n" +
               GetProgramText(kTextNotInListedFolder);
      } else {
        // Only the number in words is lower-cased: the sentence keeps its
        // capital letter.
        text = ReplaceAll(
            GetProgramText(kTextFilesNotInListedFolders), " N ",
            " " + LowerCaseText(NumberToWords(
                      static_cast<std::int32_t>(chosen.size()))) +
                " ");
      }
      prompter.ShowMessage(MessageIcon::kWarning, kExcludeFilesCaption, text);
      break;
    }
    std::string extension = ExtensionOf(path);
    if (IsExcludedExtension(extension)) {
      if (!extension_told) {
        prompter.ShowMessage(
            MessageIcon::kInformation, kExcludeFilesCaption,
            ReplaceAll(GetProgramText(kTextExtensionNeverIndexed), "ocx",
                       extension));
        extension_told = true;
      }
      continue;
    }
    std::string rel = path.substr(top.size());
    std::string lower_rel = LowerCaseText(rel);
    bool listed = false;
    for (const std::string& entry : entries) {
      if (LowerCaseText(entry) == lower_rel) listed = true;
    }
    if (listed) {
      prompter.ShowMessage(MessageIcon::kInformation, kExcludeFilesCaption,
                           GetProgramText(kTextTheFile) + " " + path + "\r\n" +
                               GetProgramText(kTextAlreadyExcluded));
      continue;
    }
    entries.push_back(rel);
    added = true;
  }
  if (added) ShowExcludedFiles(std::move(entries));
}

bool IndexWindow::PrepareSubfolderSelection(SelectSubfoldersValues* values) {
  const IndexSettings& s = settings();
  if (s.txbTopFolder.empty()) {
    module_.ports().prompter.ShowMessage(MessageIcon::kWarning,
                                         kSelectSubfoldersCaption,
                                         GetProgramText(kTextNoTopFolderYet));
    return false;
  }
  values->blnFolderSelectionAccepted = false;
  values->strCaption = GetProgramText(kTextSelectSubfolders);
  values->strTopFolder = s.txbTopFolder;
  values->intMaxNumCheckboxes = kMaxCheckboxes;
  values->strFoldersPassedToSelectFoldersForm.clear();
  for (const std::string& entry : SplitTrimmedLines(s.txbIncludedFolders)) {
    values->strFoldersPassedToSelectFoldersForm += entry + "\r\n";
  }
  return true;
}

void IndexWindow::SubfolderSelectionClosed(
    const SelectSubfoldersValues& values) {
  if (values.blnFolderSelectionAccepted) {
    std::string folders = values.strFoldersReturnedFromSelectFoldersForm;
    while (!folders.empty() &&
           static_cast<unsigned char>(folders.back()) <= 32) {
      folders.pop_back();
    }
    settings().txbIncludedFolders = folders;
    RefreshTopFolderState();
    UpdateNumExcludedFiles();
  }
  FocusNextControl();
}

bool IndexWindow::RunSettingsCommand(int item) {
  switch (item) {
    case kSaveForNextRun:
      return SaveSettings(default_settings_file_, true);
    case kSaveToFile:
      return SaveSettings("", true);
    case kSaveInBothWays:
      SaveSettings(default_settings_file_, false);
      return SaveSettings("", true);
    case kLoadFromFile:
      LoadSettings("");
      return false;
    default:
      return false;
  }
}

bool IndexWindow::SaveSettings(const std::string& path, bool pop_up) {
  std::string file = path;
  if (file.empty()) {
    const std::string& name = settings().txbProjectName;
    file = dialogs_.SaveFile(
        {"Specify file for settings for index module",
         last_settings_file_.empty() ? "" : FolderOf(last_settings_file_),
         name.empty() ? "" : name + ".usri",
         {{"Settings file", std::string(kSettingsFilter)}}});
    if (file.empty()) return false;
    last_settings_file_ = file;
  }
  if (!orvane::SaveSettings(file, settings(), &module_.ports().prompter)) {
    return false;
  }
  module_.ports().view.SetFocus("cmdExtractData");
  return pop_up;
}

void IndexWindow::LoadSettings(const std::string& path) {
  std::string file = path;
  if (file.empty()) {
    file = dialogs_.OpenFile(
        {"Specify index module settings file",
         last_settings_file_.empty() ? "" : FolderOf(last_settings_file_),
         "",
         {{"Settings file", std::string(kSettingsFilter)}}});
    if (file.empty()) return;
    last_settings_file_ = file;
    HideIndexedFilesButton();
  }
  LoadResult result = orvane::LoadSettings(file, &settings(),
                                           &module_.ports().prompter,
                                           startup_completed_);
  if (result == LoadResult::kRefused) {
    ClearProgressLabels();
    return;
  }
  if (result == LoadResult::kFailed) {
    // The defaults of every field, label and list, not only of the
    // settings; the last settings file chosen is kept.
    std::string last = last_settings_file_;
    SetDefaults();
    last_settings_file_ = last;
  }
  if (startup_completed_) {
    CheckProjectName();
    ClearProgressLabels();
    RefreshTopFolderState();
    UpdateNumExcludedFiles();
  }
  FocusNextControl();
}

void IndexWindow::Clear(int item) {
  IndexSettings& s = settings();
  IndexState& state = module_.state();
  ViewState& view = module_.ports().view;
  switch (item) {
    case kClearWhat:
      module_.ports().prompter.ShowMessage(MessageIcon::kInformation,
                                           FirstWord(kClearCaption),
                                           GetProgramText(kTextClearWhat));
      break;
    case kClearProjectName:
      s.txbProjectName.clear();
      state.index_path.clear();
      state.data_path.clear();
      break;
    case kClearTitle:
      s.txbTitle.clear();
      break;
    case kClearTopFolder:
      s.txbTopFolder.clear();
      s.txbIncludedFolders.clear();
      s.txbExcludedFiles.clear();
      UpdateNumSubfoldersSelected();
      view.SetText("lblNumExcludedFiles", "");
      intNumExcludedFiles = 0;
      ClearTotals();
      state.index_created = false;
      HideIndexedFilesButton();
      break;
    case kClearIncludedSubfolders:
      s.txbIncludedFolders.clear();
      UpdateNumSubfoldersSelected();
      ClearTotals();
      break;
    case kClearExcludedFiles:
      s.txbExcludedFiles.clear();
      UpdateNumExcludedFiles();
      ClearTotals();
      break;
    case kClearExcludedFilepaths:
      s.txbExcludedFilepaths.clear();
      ClearTotals();
      break;
    case kClearMinimumFilesize:
      s.txbMinimumFilesize.clear();
      break;
    case kClearOutputFolder:
      s.txbOutputFolder.clear();
      break;
    default:
      return;
  }
  if (item >= kClearTopFolder && item <= kClearExcludedFiles) {
    RefreshTopFolderState();
  }
  FocusNextControl();
}

void IndexWindow::SettingsItemChosen(int item, bool button_enabled) {
  if (!startup_completed_ || !button_enabled || item < 0 ||
      item >= static_cast<int>(std::size(kSettingsCommands))) {
    return;
  }
  module_.ports().prompter.ShowMessage(
      MessageIcon::kInformation, HintTitle(kSettingsCommands[item]),
      "Now click on the 'Settings' button to do this.");
  FocusNextControl();
}

void IndexWindow::ClearItemChosen(int item, bool button_enabled) {
  if (!startup_completed_ || !window_visible_ || !button_enabled || item <= 0 ||
      item >= static_cast<int>(std::size(kClearCommands))) {
    return;
  }
  module_.ports().prompter.ShowMessage(
      MessageIcon::kInformation, HintTitle(kClearCommands[item]),
      "Now click on the 'Clear' button to do this.");
  FocusNextControl();
}

void IndexWindow::Reset() {
  Answer answer = module_.ports().prompter.Ask(
      MessageIcon::kWarning, kResetCaption,
      GetProgramText(kTextResetWarning) + "\r\n" +
          GetProgramText(kTextResetQuestion),
      MessageButtons::kYesNo);
  if (answer != Answer::kYes) return;
  SetDefaults();
  CheckProjectName();
  ClearProgressLabels();
  RefreshTopFolderState();
}

void IndexWindow::FocusNextControl() {
  if (!startup_completed_ || !window_visible_) return;
  module_.FocusNextControl();
}

}  // namespace orvane
