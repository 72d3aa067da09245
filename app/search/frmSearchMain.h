// The Search Module window: the index file, the top folder or one single
// file, the search words and their type, Search/Stop, the results box, the
// report options and "Report ->", the listing of indexed files and the
// settings commands. Its engine half is SearchModule and the window rules of
// SearchWindow: a handler copies the widgets into the module's settings,
// calls the engine with the ports, and the engine shows its results through
// the view state, which finds the widgets by their fixed names.
//
// Quitting while a search, report or listing runs hides the window and sets
// the launcher's quit flag; the run ends at its next check and the window
// then unloads.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <array>
#include <memory>
#include <string>

#include "app/shell/link_label.h"
#include "app/shell/module_window.h"
#include "engine/modules/search_module.h"
#include "engine/modules/search_window.h"

namespace orvane {

class SearchWindowView;

class frmSearchMain : public ModuleWindow {
  Q_OBJECT

 public:
  explicit frmSearchMain(ShellServices services);
  ~frmSearchMain() override;

  // The launcher opens the window with the Index Module's top folder and
  // index file: both boxes filled, the index title and the search words
  // emptied.
  void ReceiveHandOver(const std::string& strTopFolder,
                       const std::string& strIndexFile);

  SearchModule& module() { return *module_; }
  // False until the window has finished opening.
  bool blnStartupCompleted = false;

  // Timer1's work, callable by tests without waiting a second.
  void Timer1_Timer();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void Form_Unload() override;

 private slots:
  void cmdIndexFile_Click();
  void cmdTopFolder_Click();
  void cmdSpecifyFile_Click();
  void cmdListIndexedFiles_Click();
  void cmdSearch_Click();
  void cmdWhyNotFound_Click();
  void cmdGenerateHTML_Click();
  void cmdSettings_Click();
  void cboSettings_Click(int index);
  void cmdCopyToClipboard_Click();
  void cmdClear_Click(int element_index);
  void cmdQuit_Click();
  void optSearchAllFiles_Click();
  void optSearchSingleFile_Click();
  void chkSortMatches_Click();
  void chkSortByRelevance_Click();
  void optReport_Click();
  void txbSearchWords_Change(const QString& text);
  void txbTopFolder_Change();
  void txbFiles_SelectionChanged();
  void lblUserManualURL_Click();
  void lblOrvaneSystems_Click();
  // Combo boxes and check boxes whose click only moves the focus.
  void FocusRule_Click();

 private:
  // The controls, each under its fixed name (also its objectName, by
  // which the tests find them).
  QPushButton* cmdIndexFile;
  QLineEdit* txbIndexFile;
  QPushButton* cmdTopFolder;
  QLineEdit* txbTopFolder;
  QRadioButton* optSearchAllFiles;
  QRadioButton* optSearchSingleFile;
  QPushButton* cmdSpecifyFile;
  QLineEdit* txbSingleFile;
  QPushButton* cmdListIndexedFiles;
  QGroupBox* fraListIndexedFilesBy;
  QRadioButton* optByFolder;
  QRadioButton* optAlphabetically;
  std::array<QLabel*, 2> lblTitle;  // "Title:" and the index's title
  QLabel* lblSearchableWords;
  QLabel* lblSearchWords;
  QLineEdit* txbSearchWords;
  QLabel* lblSearchType;
  QComboBox* cboSearchType;
  QPushButton* cmdSearch;
  QPushButton* cmdWhyNotFound;
  QLabel* lblNumFilesFound;
  QPlainTextEdit* txbFiles;
  QPushButton* cmdCopyToClipboard;
  // Clear: the results, the top folder, the index file, the search words,
  // the single file.
  std::array<QPushButton*, 5> cmdClear;
  QGroupBox* fraOptions;
  QCheckBox* chkSortMatches;
  QCheckBox* chkSortByRelevance;
  QCheckBox* chkGenerateHTML;
  QCheckBox* chkDisplayDescriptions;
  QCheckBox* chkDisplayFilepaths;
  QCheckBox* chkExplainScores;
  QCheckBox* chkOnQuitDeleteDataFile;
  QLabel* lblSizeOfExtract;
  QComboBox* cboSizeOfExtract;
  QLabel* lblMaxNumExtracts;
  QLineEdit* txbMaxNumExtracts;
  QLabel* lblLeaveBlank;
  QGroupBox* fraReport;
  QRadioButton* optHTMLReport;
  QRadioButton* optTextReport;
  QPushButton* cmdGenerateHTML;
  QComboBox* cboSettings;
  QPushButton* cmdSettings;
  QLabel* lblStatus;
  LinkLabel* lblUserManualURL;
  LinkLabel* lblOrvaneSystems;
  QPushButton* cmdQuit;
  QTimer* Timer1;

  void BuildControls();
  void LayOut();
  void Wire();
  void Form_Load();
  void PathDropped(const std::string& path) override;
  // Form_Activate: the clear buttons of the boxes that hold text, the focus.
  void Form_Activate();

  // The widgets into the module's settings (not while a run uses them).
  void ReadControls();
  // The module's settings into the widgets.
  void ShowSettings();
  void ShowBoldModeOption();
  SearchWindowFacts Facts() const;
  void ApplyFocusRule();
  // Runs an engine handler; a quit asked for meanwhile unloads the window
  // once the handler has returned.
  template <class Handler>
  void RunHandler(Handler handler);
  // The large display over the window, for the text report and the
  // listing.
  void PlaceDisplayForReport();
  void PlaceDisplayForListing();
  // Opens the found file whose path line lies under the point of the
  // results box, if any.
  void OpenFoundFileAt(const QPoint& viewport_point);

  std::unique_ptr<SearchWindowView> view_;
  std::unique_ptr<SearchModule> module_;
  std::unique_ptr<SearchWindow> rules_;
  QString caption_;  // the kept caption
  int handler_depth_ = 0;
  bool quit_pending_ = false;
  int last_settings_choice_ = 0;
};

}  // namespace orvane
