// The Index Module window: the settings of an indexing project and the
// buttons that choose the folders and subfolders, exclude files, list the
// files, create the index file, save and load the settings, clear single
// settings, reset them, go on to the Search Module and quit. The window
// moves values between its widgets and the engine (IndexModule for the
// runs, IndexWindow for the window's own rules) and shows what they report.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <functional>
#include <string>

#include "app/shell/link_label.h"
#include "app/shell/module_window.h"
#include "app/throttled_view_state.h"
#include "engine/files/subfolder_selection.h"
#include "engine/modules/index_module.h"
#include "engine/modules/index_window.h"

namespace orvane {

class frmIndexMain : public ModuleWindow {
  Q_OBJECT

 public:
  explicit frmIndexMain(ShellServices services);

  // The index file of the project, which the switch to the Search Module
  // hands over.
  const std::string& index_path() const { return module_.state().index_path; }
  void set_index_path(std::string path) {
    module_.state().index_path = std::move(path);
  }
  IndexModule& module() { return module_; }
  // Takes the fields as they stand and refreshes the captions and states
  // that depend on the top folder and the included subfolders, as after a
  // choice in the subfolder window.
  void RefreshTopFolderState();
  IndexWindow& rules() { return window_; }

  // Opens the subfolder selection window with the values and returns when
  // it has closed, the results in the values. Tests replace it.
  std::function<void(SelectSubfoldersValues&)> show_subfolder_window;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void txbProjectName_Change();
  void txbProjectName_LostFocus();
  void cmdTopFolder_Click();
  void cmdOutputFolder_Click();
  void cmdSelectSubfolders_Click();
  void cmdExcludeFiles_Click();
  void txbExcludedFiles_LostFocus();
  void cmdExpandFilepathExclusions_Click();
  void chkExcludeSpecialLetters_Click();
  void cmdListFiles_Click(int index);
  void cmdExtractData_Click();
  void cboSettings_Click();
  void cmdSettings_Click();
  void cboClear_Click();
  void cmdClear_Click();
  void cmdReset_Click();
  void cmdSwitchToSearchModule_Click();
  void cmdQuit_Click();
  void lblUserManualURL_Click();
  void lblOrvaneSystems_Click();

 private:
  // The controls, each under its fixed name (also its objectName, by
  // which the tests find them).
  QLabel* lblIntro;
  QLabel* lblProjectName;
  QLineEdit* txbProjectName;
  QLabel* lblTitle;
  QLineEdit* txbTitle;
  QPushButton* cmdTopFolder;
  QLineEdit* txbTopFolder;
  QPushButton* cmdOutputFolder;
  QLineEdit* txbOutputFolder;
  QPushButton* cmdSelectSubfolders;
  QPlainTextEdit* txbIncludedFolders;
  QLabel* lblNumSubfoldersSelected;
  QCheckBox* chkIncludeSubfoldersOfSubfolders;
  QCheckBox* chkExcludeFilesInTopFolder;
  QLabel* lblTopFolderIsEmpty;
  QPushButton* cmdExcludeFiles;
  QPlainTextEdit* txbExcludedFiles;
  QLabel* lblNumExcludedFiles;
  QLabel* lblExcludeFilepathsContaining;
  QLineEdit* txbExcludedFilepaths;
  QPushButton* cmdExpandFilepathExclusions;
  QLabel* lblMinFilesize;
  QLineEdit* txbMinimumFilesize;
  QCheckBox* chkExcludeSpecialLetters;
  QCheckBox* chkReadDocuments;
  QCheckBox* chkWriteClassicDataFile;
  QPushButton* cmdListFiles[2];
  QPushButton* cmdExtractData;
  QLabel* lblTotalNumFiles;
  QLabel* lblTotalFileSize;
  QLabel* lblNowProcessingFile;
  QLabel* lblCurrentFile;
  QLabel* lblDifferentWordsFoundSoFar;
  QProgressBar* prgRunProgress;
  QComboBox* cboSettings;
  QPushButton* cmdSettings;
  QComboBox* cboClear;
  QPushButton* cmdClear;
  QPushButton* cmdReset;
  QPushButton* cmdSwitchToSearchModule;
  QPushButton* cmdQuit;
  QLabel* lblUserManual;
  LinkLabel* lblUserManualURL;
  LinkLabel* lblOrvaneSystems;

  void BuildControls();
  void BuildLayout();
  void Form_Load();
  void PathDropped(const std::string& path) override;
  // Widgets into the engine's settings, and back.
  void Pull();
  void Push();
  // Runs a rule of the window between a Pull and a Push.
  void Apply(const std::function<void()>& rule);
  void ShowSubfolderWindow(SelectSubfoldersValues& values);

  ThrottledViewState view_;
  IndexModule module_;
  IndexWindow window_;
  // The caption the window takes back when it is restored.
  QString kept_caption_;
  // Quit or the close box during a run: the window closes once the run
  // has ended.
  bool close_after_run_ = false;
};

}  // namespace orvane
