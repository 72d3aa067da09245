// The rules of the Index Module window frmIndexMain that decide a text, a
// caption, a visibility, an enabled state, a list or a message: the start of
// the window, the project-name check, the top and output folders, the
// top-folder state, the count labels, the excluded files, the subfolder
// selection's hand-over, the settings and clear commands, Reset and the
// choice of the control that gets the focus. The window moves values
// between its widgets and the module's settings and calls these; every
// effect on a control goes through the module's view state.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/ports.h"
#include "engine/files/subfolder_selection.h"
#include "engine/modules/index_module.h"

namespace orvane {

// The items of cboSettings and cboClear, in list order.
inline constexpr std::string_view kSettingsCommands[] = {
    "Save for next run", "Save to file", "Save in both ways",
    "Load from file"};
inline constexpr std::string_view kClearCommands[] = {
    "What?",          "Project name",       "Title",
    "Top folder",     "Included subfolders", "Excluded files",
    "Excluded filepaths", "Minimum filesize", "Output folder"};

// The captions of the buttons whose captions title messages.
inline constexpr std::string_view kTopFolderCaption = "Top folder";
inline constexpr std::string_view kOutputFolderCaption = "Output folder";
inline constexpr std::string_view kSelectSubfoldersCaption =
    "Include subfolders";
inline constexpr std::string_view kExcludeFilesCaption = "Exclude files";
inline constexpr std::string_view kClearCaption = "Clear -->";
inline constexpr std::string_view kResetCaption = "Reset";

// Every control of the window that these rules and the run address by name.
extern const std::vector<std::string_view> kIndexWindowControls;

// A space typed into the project name becomes "_".
std::string TypedProjectName(std::string_view text);

// The caption of lblNumSubfoldersSelected for this many included
// subfolders, and of lblNumExcludedFiles for this many excluded files.
std::string NumSubfoldersText(std::int32_t count);
std::string NumExcludedFilesText(std::int32_t count);

// The caption of chkExcludeFilesInTopFolder for this many files in the top
// folder.
std::string ExcludeFilesInTopFolderText(std::int32_t files);

class IndexWindow {
 public:
  // Both must outlive the window rules.
  IndexWindow(IndexModule& module, Dialogs& dialogs);

  IndexModule& module() { return module_; }
  IndexSettings& settings() { return module_.settings(); }

  // The start of the window: the defaults, then the settings saved for the
  // next run (default_settings_file, when it exists) loaded without a
  // message, the project-name check, the progress labels cleared, the
  // top-folder state and the excluded files tidied. Sets startup_completed.
  void Form_Load(const std::string& default_settings_file);
  bool startup_completed() const { return startup_completed_; }
  // Whether the window is on screen; focus moves and hints need it.
  void set_window_visible(bool visible) { window_visible_ = visible; }

  // Every setting, caption, list and flag back to its start value.
  void SetDefaults();
  // On leaving the project name: trims it, refuses an inadmissible
  // character, and sets the index and data paths (cleared when refused or
  // empty).
  void CheckProjectName();
  void ClearProgressLabels();
  // Counts the top folder's files and subfolders and sets every caption,
  // visibility and enabled state that depend on them.
  void RefreshTopFolderState();
  void UpdateNumSubfoldersSelected();
  void UpdateNumExcludedFiles();
  // On leaving txbExcludedFiles: trimmed entries, sorted, one a line.
  void TidyExcludedFiles();

  // cmdTopFolder (and a click into the empty top-folder box).
  void ChooseTopFolder();
  // The top folder chosen: the subfolders and excluded files that do not
  // lie below it are dropped, and a folder other than the last one starts
  // with "Include subfolders of these subfolders" cleared.
  void TakeTopFolder(std::string folder);
  // A path dropped on the window: a folder becomes the top folder, as
  // TakeTopFolder takes it; anything else is refused with a message.
  void PathDropped(const std::string& path);
  // cmdOutputFolder; an output folder on a CD-ROM is refused.
  void ChooseOutputFolder();
  // cmdExcludeFiles: the open dialog for several files and its outcomes.
  void ExcludeFiles();
  // cmdSelectSubfolders: false, after the message, when there is no top
  // folder; otherwise fills the values the subfolder window starts with.
  bool PrepareSubfolderSelection(SelectSubfoldersValues* values);
  // The subfolder window has closed with these values.
  void SubfolderSelectionClosed(const SelectSubfoldersValues& values);

  // cmdSettings with the item of cboSettings; true when the confirming
  // pop-up is to be shown.
  bool RunSettingsCommand(int item);
  // SaveSettings and LoadSettings; an empty path asks the user. Save
  // returns true when the pop-up is to be shown.
  bool SaveSettings(const std::string& path, bool pop_up);
  void LoadSettings(const std::string& path);
  // cmdClear with the item of cboClear.
  void Clear(int item);
  // An item chosen in cboSettings or cboClear: the hint to click the
  // button (only once started, while the button is enabled).
  void SettingsItemChosen(int item, bool button_enabled);
  void ClearItemChosen(int item, bool button_enabled);
  // cmdReset: asks, then the defaults.
  void Reset();
  // The first field that needs attention gets the focus (only once the
  // window has started and while it is on screen).
  void FocusNextControl();

  const std::string& default_settings_file() const {
    return default_settings_file_;
  }
  const std::string& last_settings_file() const { return last_settings_file_; }
  bool top_folder_has_subfolders() const { return has_subfolders_; }
  std::int16_t intNumIncludedSubFolders = 0;
  std::int16_t intNumExcludedFiles = 0;

  // Whether a folder lies on a CD-ROM (iso9660 or udf); tests replace it.
  std::function<bool(const std::string&)> is_on_cd_rom;

 private:
  void ClearTotals();
  void HideIndexedFilesButton();
  void ShowExcludedFiles(std::vector<std::string> entries);

  IndexModule& module_;
  Dialogs& dialogs_;
  bool startup_completed_ = false;
  bool window_visible_ = false;
  bool has_subfolders_ = false;
  std::string default_settings_file_;
  std::string last_settings_file_;
};

}  // namespace orvane
