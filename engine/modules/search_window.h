// The rules of the Search Module window that the other handlers leave to
// it: its start values, the focus rule, the one-second enabling timer, the
// two modes (all files, one single file), the clear buttons, the copy
// button's caption, the minimised caption, the settings commands, the
// delete-the-data-file question on quitting and the found file under a
// double click. The window reads its widgets into the module's settings,
// calls these, and shows what they set through the view state or return.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/common/ports.h"
#include "engine/modules/search_module.h"

namespace orvane {

// What the focus rule reads of the window's widgets.
struct SearchWindowFacts {
  bool window_visible = true;
  bool cmdTopFolder_usable = true;  // visible and enabled
  bool cmdIndexFile_enabled = true;
  bool txbSearchWords_enabled = true;
  bool cmdSearch_enabled = true;
};

// What Timer1 reads of the window's widgets.
struct SearchTimerFacts {
  bool cmdListIndexedFiles_visible = true;
  bool cmdListIndexedFiles_enabled = true;
  bool results_empty = true;
};

// The items of cboSettings, by list position.
enum class SettingsCommand : std::int16_t {
  kSaveForNextRun = 0,
  kSaveToFile = 1,
  kSaveInBothWays = 2,
  kLoadFromFile = 3,
};

// What a settings command did.
struct SettingsOutcome {
  bool saved = false;
  bool pop_up = false;  // the "Settings saved." note is to be shown
  bool loaded = false;  // the settings now hold the file's settings
};

// The mode option shown in bold: the one of the current mode when a top
// folder is set, otherwise none (empty).
std::string_view BoldModeOption(const SearchSettings& settings);

// The copy button's caption: copy the selected text, or all the results.
std::string CopyButtonCaption(bool text_selected);

// The caption of the minimised window; restored, the window takes its
// kept caption (SearchModuleCaption) again.
std::string MinimisedCaption();

class SearchWindow {
 public:
  // Both must outlive the window rules.
  SearchWindow(SearchModule& module, Dialogs& dialogs);

  SearchModule& module() { return module_; }
  SearchSettings& settings() { return module_.settings(); }

  // Every setting at its start value (the HTML report's place and opening
  // are kept), the loaded index and the last search's results forgotten,
  // the result labels and the results box emptied and the five clear
  // buttons hidden. The window then shows the settings in its widgets.
  void SetSearchDefaults();

  // The focus rule, after most actions: the first empty one of top folder,
  // index file and search words gets the focus (its button, or the box),
  // else Search; only while the window is visible. cmdListIndexedFiles is
  // enabled exactly when an index file is named.
  void ApplyFocusRule(const SearchWindowFacts& facts);

  // Timer1, every second: trims the index file's text; the listing orders
  // follow the listing button, the two modes are open once an index file is
  // named, the results' clear and copy buttons once there are results.
  void Timer1_Timer(const SearchTimerFacts& facts);

  // The two modes. Shows the controls of the mode and hides those of the
  // other; the single-file mode focuses "Specify file" when the window is
  // visible, the all-files mode applies the focus rule.
  void ShowSearchMode(const SearchWindowFacts& facts);

  // cmdClear element element_index (0 results, 1 top folder, 2 index file,
  // 3 search words, 4 single file): empties its box, hides the button and
  // focuses the box's own button or box.
  void Clear(int element_index);

  // The clear buttons of the top folder, the index file and the search
  // words are shown exactly when their boxes hold text; the single file's
  // when its box holds text in the single-file mode.
  void ShowClearButtons();

  // Where the index file dialog opens: the folder of the index file named,
  // else that of the index made last (IndexFoldersPath), else the dialog's
  // own choice (empty).
  std::string IndexFileDialogFolder() const;

  // The full path of the found file whose path line is line (a line of the
  // results box), or empty when the line is no found file's path.
  std::string FoundFileAtLine(std::string_view line) const;

  // cmdSettings with the item of cboSettings.
  SettingsOutcome RunSettingsCommand(SettingsCommand command);
  // An item chosen in cboSettings after the window has opened: the user is
  // told to click the Settings button.
  void SettingsItemChosen();

  // With path empty, asks for the file with the save dialog (cancelled:
  // nothing). Writes the settings; a failure or refusal is shown titled
  // "Save state". The focus goes to Search.
  SettingsOutcome SaveSettings(const std::string& path, bool show_pop_up);

  // With path empty, asks for the file with the open dialog (cancelled:
  // nothing). A file of another kind is refused with a warning titled "Load
  // settings" and changes nothing. Otherwise the window goes back to its
  // defaults and takes the file's settings: a top folder that no longer
  // exists is dropped (told, titled "Folder not found", unless the window
  // is still opening), an index file that is not an absolute path, lacks
  // "_index.tavo" or does not exist is dropped silently. The index is not
  // loaded here.
  SettingsOutcome LoadSettings(const std::string& path, bool startup_completed);

  // On quitting with "On quit delete the store and data files" ticked: the
  // store file and the classic data file beside the index, those that are
  // there, go. Empty ones are deleted at once; otherwise the user is asked,
  // with their size in kilobytes, and they are deleted on Yes. A deletion
  // that fails is told.
  void DeleteDataFileOnQuit();

 private:
  SearchModule& module_;
  Dialogs& dialogs_;
};

}  // namespace orvane
