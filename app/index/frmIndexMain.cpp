#include "app/index/frmIndexMain.h"

#include <QCloseEvent>
#include <QEvent>
#include <algorithm>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

#include "app/files/frmFilepathExclusions.h"
#include "app/files/frmSelectSubfolders.h"
#include "app/qt_text.h"
#include "app/shell/common_window_helpers.h"
#include "app/shell/controls.h"
#include "app/shell/frmLargeDisplay.h"
#include "app/shell/frmPopUp.h"
#include "app/user_number_format.h"
#include "engine/common/program_texts.h"
#include "engine/shell/launcher.h"
#include "engine/shell/twips.h"

namespace orvane {

namespace {

constexpr std::int16_t kTextSettingsSaved = 17;
constexpr std::int16_t kTextModuleName = 4;
constexpr std::int16_t kTextUserManualAddress = 2;
constexpr std::int16_t kTextMakersAddress = 6;
constexpr std::int16_t kTextExcludedFilesTip = 20;
// The settings pop-up: its size and time, and its place just above
// cmdSettings, which lies at the foot of the window (twips).
constexpr std::int16_t kPopUpWidth = 2000;
constexpr std::int16_t kPopUpHeight = 380;
constexpr std::int16_t kPopUpInterval = 2000;
constexpr std::int32_t kPopUpGap = 60;
constexpr char kMinimizedCaption[] = "TAVO -- Index Module";

// The labels and the bar that a run changes after every file.
std::set<std::string, std::less<>> ProgressControls() {
  return {"lblTotalNumFiles", "lblTotalFileSize", "lblNowProcessingFile",
          "lblCurrentFile", "lblDifferentWordsFoundSoFar",
          std::string(kRunProgressBar)};
}

// A text box is known to a screen reader by the caption that names it.
template <class Box>
void NameFor(Box* box, const QString& caption) {
  box->setAccessibleName(caption);
}

}  // namespace

frmIndexMain::frmIndexMain(ShellServices services)
    : ModuleWindow(services),
      view_(*this, ProgressControls()),
      module_(IndexPorts{services.prompter, view_, services.yield,
                         services.large_display, services.clock,
                         services.launcher, UserNumberFormat()}),
      window_(module_, services.dialogs) {
  setObjectName("frmIndexMain");
  show_subfolder_window = [this](SelectSubfoldersValues& values) {
    ShowSubfolderWindow(values);
  };
  BuildControls();
  BuildLayout();

  connect(txbProjectName, &QLineEdit::textEdited, this,
          &frmIndexMain::txbProjectName_Change);
  connect(txbProjectName, &QLineEdit::editingFinished, this,
          &frmIndexMain::txbProjectName_LostFocus);
  connect(cmdTopFolder, &QPushButton::clicked, this,
          &frmIndexMain::cmdTopFolder_Click);
  connect(cmdOutputFolder, &QPushButton::clicked, this,
          &frmIndexMain::cmdOutputFolder_Click);
  connect(cmdSelectSubfolders, &QPushButton::clicked, this,
          &frmIndexMain::cmdSelectSubfolders_Click);
  connect(cmdExcludeFiles, &QPushButton::clicked, this,
          &frmIndexMain::cmdExcludeFiles_Click);
  connect(cmdExpandFilepathExclusions, &QPushButton::clicked, this,
          &frmIndexMain::cmdExpandFilepathExclusions_Click);
  connect(chkExcludeSpecialLetters, &QCheckBox::clicked, this,
          &frmIndexMain::chkExcludeSpecialLetters_Click);
  for (int i = 0; i < 2; ++i) {
    connect(cmdListFiles[i], &QPushButton::clicked, this,
            [this, i] { cmdListFiles_Click(i); });
  }
  connect(cmdExtractData, &QPushButton::clicked, this,
          &frmIndexMain::cmdExtractData_Click);
  connect(cboSettings, &QComboBox::activated, this,
          &frmIndexMain::cboSettings_Click);
  connect(cmdSettings, &QPushButton::clicked, this,
          &frmIndexMain::cmdSettings_Click);
  connect(cboClear, &QComboBox::activated, this, &frmIndexMain::cboClear_Click);
  connect(cmdClear, &QPushButton::clicked, this, &frmIndexMain::cmdClear_Click);
  connect(cmdReset, &QPushButton::clicked, this, &frmIndexMain::cmdReset_Click);
  connect(cmdSwitchToSearchModule, &QPushButton::clicked, this,
          &frmIndexMain::cmdSwitchToSearchModule_Click);
  connect(cmdQuit, &QPushButton::clicked, this, &frmIndexMain::cmdQuit_Click);
  connect(lblUserManualURL, &LinkLabel::Click, this,
          &frmIndexMain::lblUserManualURL_Click);
  connect(lblOrvaneSystems, &LinkLabel::Click, this,
          &frmIndexMain::lblOrvaneSystems_Click);
  txbTopFolder->installEventFilter(this);
  txbExcludedFiles->installEventFilter(this);
  AcceptPathDrops();
  Form_Load();
}

void frmIndexMain::BuildControls() {
  lblIntro = MakeControl<QLabel>(this, "lblIntro");
  lblIntro->setWordWrap(true);
  lblProjectName = MakeControl<QLabel>(this, "lblProjectName", "Project name");
  txbProjectName = MakeControl<QLineEdit>(this, "txbProjectName");
  txbProjectName->setToolTip("Maximum 17 characters.");
  lblTitle = MakeControl<QLabel>(this, "lblTitle", "Title");
  txbTitle = MakeControl<QLineEdit>(this, "txbTitle");
  txbTitle->setToolTip("This is a title for the project.");
  cmdTopFolder = MakeControl<QPushButton>(this, "cmdTopFolder",
                                          ToQt(kTopFolderCaption));
  txbTopFolder = MakeControl<QLineEdit>(this, "txbTopFolder");
  txbTopFolder->setToolTip(
      "Click on the button at left to specify the top folder holding files "
      "to be indexed.");
  cmdOutputFolder = MakeControl<QPushButton>(this, "cmdOutputFolder",
                                             ToQt(kOutputFolderCaption));
  txbOutputFolder = MakeControl<QLineEdit>(this, "txbOutputFolder");
  txbOutputFolder->setToolTip(
      "This is the folder where the index file will be created.  Click on "
      "'Output folder' to specify.");
  cmdSelectSubfolders = MakeControl<QPushButton>(
      this, "cmdSelectSubfolders", ToQt(kSelectSubfoldersCaption));
  txbIncludedFolders = MakeControl<QPlainTextEdit>(this, "txbIncludedFolders");
  txbIncludedFolders->setTabChangesFocus(true);
  lblNumSubfoldersSelected =
      MakeControl<QLabel>(this, "lblNumSubfoldersSelected");
  chkIncludeSubfoldersOfSubfolders = MakeControl<QCheckBox>(
      this, "chkIncludeSubfoldersOfSubfolders",
      "Include subfolders of these subfolders");
  chkExcludeFilesInTopFolder =
      MakeControl<QCheckBox>(this, "chkExcludeFilesInTopFolder");
  lblTopFolderIsEmpty = MakeControl<QLabel>(this, "lblTopFolderIsEmpty",
                                            "The top folder has no files.");
  cmdExcludeFiles = MakeControl<QPushButton>(this, "cmdExcludeFiles",
                                             ToQt(kExcludeFilesCaption));
  txbExcludedFiles = MakeControl<QPlainTextEdit>(this, "txbExcludedFiles");
  txbExcludedFiles->setTabChangesFocus(true);
  txbExcludedFiles->setToolTip(ToQt(GetProgramText(kTextExcludedFilesTip)));
  lblNumExcludedFiles = MakeControl<QLabel>(this, "lblNumExcludedFiles");
  lblExcludeFilepathsContaining = MakeControl<QLabel>(
      this, "lblExcludeFilepathsContaining", "Exclude filepaths containing:");
  txbExcludedFilepaths = MakeControl<QLineEdit>(this, "txbExcludedFilepaths");
  txbExcludedFilepaths->setToolTip(
      "Filepaths containing these character strings will be excluded.  "
      "Separate strings with comma.");
  cmdExpandFilepathExclusions =
      MakeControl<QPushButton>(this, "cmdExpandFilepathExclusions", "Expand");
  lblMinFilesize = MakeControl<QLabel>(
      this, "lblMinFilesize", "Minimum filesize (bytes) for inclusion:");
  txbMinimumFilesize = MakeControl<QLineEdit>(this, "txbMinimumFilesize");
  txbMinimumFilesize->setMaximumWidth(TwipsToPixels(1400));
  chkExcludeSpecialLetters = MakeControl<QCheckBox>(
      this, "chkExcludeSpecialLetters",
      "Exclude files and words with special letters");
  chkReadDocuments = MakeControl<QCheckBox>(this, "chkReadDocuments",
                                            "Read PDF and office documents");
  chkWriteClassicDataFile = MakeControl<QCheckBox>(
      this, "chkWriteClassicDataFile", "Write the classic data file");
  chkWriteClassicDataFile->setToolTip(
      "Also write NAME_data.tavo, for programs that read only the index "
      "file and the data file.  An index then holds at most 32000 files.");
  cmdListFiles[0] = MakeControl<QPushButton>(this, "cmdListFiles[0]",
                                             ToQt(kListFilesCaption));
  cmdListFiles[1] = MakeControl<QPushButton>(this, "cmdListFiles[1]",
                                             ToQt(kListIndexedFilesCaption));
  cmdExtractData = MakeControl<QPushButton>(this, "cmdExtractData",
                                            ToQt(kCreateIndexFileCaption));
  lblTotalNumFiles = MakeControl<QLabel>(this, "lblTotalNumFiles");
  lblTotalFileSize = MakeControl<QLabel>(this, "lblTotalFileSize");
  lblNowProcessingFile = MakeControl<QLabel>(this, "lblNowProcessingFile");
  lblCurrentFile = MakeControl<QLabel>(this, "lblCurrentFile");
  lblDifferentWordsFoundSoFar =
      MakeControl<QLabel>(this, "lblDifferentWordsFoundSoFar");
  prgRunProgress = MakeControl<QProgressBar>(this, "prgRunProgress");
  prgRunProgress->setAccessibleName("Progress");
  prgRunProgress->setTextVisible(true);
  prgRunProgress->setVisible(false);
  cboSettings = MakeControl<QComboBox>(this, "cboSettings");
  for (std::string_view item : kSettingsCommands) cboSettings->addItem(ToQt(item));
  cmdSettings = MakeControl<QPushButton>(this, "cmdSettings", "Settings -->");
  cboClear = MakeControl<QComboBox>(this, "cboClear");
  for (std::string_view item : kClearCommands) cboClear->addItem(ToQt(item));
  cmdClear = MakeControl<QPushButton>(this, "cmdClear", ToQt(kClearCaption));
  cmdReset = MakeControl<QPushButton>(this, "cmdReset", ToQt(kResetCaption));
  cmdSwitchToSearchModule = MakeControl<QPushButton>(
      this, "cmdSwitchToSearchModule", "Go to search module");
  cmdQuit = MakeControl<QPushButton>(this, "cmdQuit", "Quit");
  // The link says what it opens: the label before it, which called a manual
  // that comes with the program "online", stays out of sight.
  lblUserManual =
      MakeControl<QLabel>(this, "lblUserManual", "Online user manual:");
  lblUserManual->setVisible(false);
  lblUserManualURL = MakeControl<LinkLabel>(this, "lblUserManualURL", "");
  lblUserManualURL->setToolTip("Click here for the online user manual.");
  lblOrvaneSystems =
      MakeControl<LinkLabel>(this, "lblOrvaneSystems", "Orvane Systems");

  // Text boxes take the captions of the buttons and labels that name them;
  // buttons and check boxes are known by their own captions.
  NameFor(txbProjectName, lblProjectName->text());
  NameFor(txbTitle, lblTitle->text());
  NameFor(txbTopFolder, cmdTopFolder->text());
  NameFor(txbOutputFolder, cmdOutputFolder->text());
  NameFor(txbIncludedFolders, QStringLiteral("Included subfolders"));
  NameFor(txbExcludedFiles, QStringLiteral("Excluded files"));
  NameFor(txbExcludedFilepaths, lblExcludeFilepathsContaining->text());
  NameFor(txbMinimumFilesize, lblMinFilesize->text());
  NameFor(cboSettings, QStringLiteral("Settings"));
  NameFor(cboClear, QStringLiteral("Clear"));
  lblProjectName->setBuddy(txbProjectName);
  lblTitle->setBuddy(txbTitle);
  lblExcludeFilepathsContaining->setBuddy(txbExcludedFilepaths);
  lblMinFilesize->setBuddy(txbMinimumFilesize);
  for (QLabel* label : {lblCurrentFile, lblNowProcessingFile}) {
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(TwipsToPixels(3000));
  }
}

void frmIndexMain::BuildLayout() {
  const int text_lines = fontMetrics().lineSpacing();
  txbIncludedFolders->setFixedHeight(text_lines * 4 + 16);
  txbExcludedFiles->setFixedHeight(text_lines * 3 + 16);

  // The project: its name, title and folders.
  auto* project = new QGroupBox(QStringLiteral("Project"), this);
  project->setObjectName("fraProject");
  auto* project_grid = new QGridLayout(project);
  project_grid->addWidget(lblProjectName, 0, 0);
  project_grid->addWidget(txbProjectName, 0, 1);
  project_grid->addWidget(lblTitle, 1, 0);
  project_grid->addWidget(txbTitle, 1, 1);
  project_grid->addWidget(cmdTopFolder, 2, 0);
  project_grid->addWidget(txbTopFolder, 2, 1);
  project_grid->addWidget(cmdOutputFolder, 3, 0);
  project_grid->addWidget(txbOutputFolder, 3, 1);
  project_grid->setColumnStretch(1, 1);

  // Which files: subfolders, exclusions, size and letters. The buttons
  // that name a field stand in one column of one width, as in the project.
  auto* files = new QGroupBox(QStringLiteral("Files to be indexed"), this);
  files->setObjectName("fraFiles");
  auto* files_box = new QVBoxLayout(files);
  auto* files_grid = new QGridLayout;
  files_grid->addWidget(cmdSelectSubfolders, 0, 0, Qt::AlignTop);
  files_grid->addWidget(txbIncludedFolders, 0, 1);
  files_grid->addWidget(lblNumSubfoldersSelected, 1, 1);
  files_grid->addWidget(chkIncludeSubfoldersOfSubfolders, 2, 1);
  // The label takes the check box's place when the top folder has no files.
  files_grid->addWidget(chkExcludeFilesInTopFolder, 3, 1);
  files_grid->addWidget(lblTopFolderIsEmpty, 3, 1);
  files_grid->addWidget(cmdExcludeFiles, 4, 0, Qt::AlignTop);
  files_grid->addWidget(txbExcludedFiles, 4, 1);
  files_grid->addWidget(lblNumExcludedFiles, 5, 1);
  files_grid->setColumnStretch(1, 1);
  files_box->addLayout(files_grid);
  auto* limits_grid = new QGridLayout;
  limits_grid->addWidget(lblExcludeFilepathsContaining, 0, 0);
  limits_grid->addWidget(txbExcludedFilepaths, 0, 1);
  limits_grid->addWidget(cmdExpandFilepathExclusions, 0, 2);
  limits_grid->addWidget(lblMinFilesize, 1, 0);
  limits_grid->addWidget(txbMinimumFilesize, 1, 1, Qt::AlignLeft);
  limits_grid->addWidget(chkExcludeSpecialLetters, 2, 0, 1, 3);
  limits_grid->addWidget(chkReadDocuments, 3, 0, 1, 3);
  limits_grid->addWidget(chkWriteClassicDataFile, 4, 0, 1, 3);
  limits_grid->setColumnStretch(1, 1);
  files_box->addLayout(limits_grid);
  int button_width = 0;
  for (QPushButton* button : {cmdTopFolder, cmdOutputFolder,
                              cmdSelectSubfolders, cmdExcludeFiles}) {
    button_width = std::max(button_width, button->sizeHint().width() + 16);
  }
  for (QPushButton* button : {cmdTopFolder, cmdOutputFolder,
                              cmdSelectSubfolders, cmdExcludeFiles}) {
    button->setFixedWidth(button_width);
  }
  project_grid->setColumnMinimumWidth(0, button_width);
  files_grid->setColumnMinimumWidth(0, button_width);
  // An empty label over the check box must neither hide nor catch it.
  lblTopFolderIsEmpty->setAttribute(Qt::WA_TransparentForMouseEvents);

  auto* actions = new QHBoxLayout;
  actions->addWidget(cmdListFiles[0]);
  actions->addWidget(cmdListFiles[1]);
  actions->addStretch(1);
  actions->addWidget(cmdExtractData);
  cmdExtractData->setMinimumWidth(TwipsToPixels(2200));
  cmdExtractData->setDefault(true);

  // Progress and totals of the last run.
  auto* progress = new QGroupBox(QStringLiteral("Progress"), this);
  progress->setObjectName("fraProgress");
  // The labels stand in a plain box inside the frame: a screen reader names
  // a label without text after the frame around it, and five idle labels
  // all read "Progress".
  auto* progress_lines = new QWidget(progress);
  progress_lines->setObjectName("picProgress");
  (new QVBoxLayout(progress))->addWidget(progress_lines);
  auto* progress_box = new QVBoxLayout(progress_lines);
  progress_box->setContentsMargins(0, 0, 0, 0);
  auto* totals = new QHBoxLayout;
  totals->addWidget(lblTotalNumFiles);
  totals->addSpacing(24);
  totals->addWidget(lblTotalFileSize);
  totals->addStretch(1);
  progress_box->addLayout(totals);
  progress_box->addWidget(lblNowProcessingFile);
  progress_box->addWidget(lblCurrentFile);
  progress_box->addWidget(lblDifferentWordsFoundSoFar);
  progress_box->addWidget(prgRunProgress);
  for (QLabel* label : {lblTotalNumFiles, lblTotalFileSize,
                        lblNowProcessingFile, lblCurrentFile,
                        lblDifferentWordsFoundSoFar}) {
    label->setMinimumHeight(fontMetrics().height());
  }

  auto* commands = new QHBoxLayout;
  commands->addWidget(cboSettings);
  commands->addWidget(cmdSettings);
  commands->addSpacing(16);
  commands->addWidget(cboClear);
  commands->addWidget(cmdClear);
  commands->addSpacing(16);
  commands->addWidget(cmdReset);
  commands->addStretch(1);
  commands->addWidget(cmdSwitchToSearchModule);
  commands->addWidget(cmdQuit);

  auto* footer = new QHBoxLayout;
  footer->addWidget(lblUserManualURL);
  footer->addStretch(1);
  footer->addWidget(lblOrvaneSystems);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 12, 14, 10);
  layout->setSpacing(10);
  layout->addWidget(lblIntro);
  layout->addWidget(project);
  layout->addWidget(files);
  layout->addLayout(actions);
  layout->addWidget(progress);
  layout->addStretch(1);
  layout->addLayout(commands);
  layout->addLayout(footer);
  resize(TwipsToPixels(10500), TwipsToPixels(11500));
}

void frmIndexMain::Form_Load() {
  kept_caption_ = ModuleCaption(GetProgramText(kTextModuleName));
  setWindowTitle(kept_caption_);
  window_.Form_Load("");
  Push();
  OV_common::SetWindowColour(*this, OV_common::WindowColour());
  // It shares its place with chkExcludeFilesInTopFolder: only its text
  // may cover the box.
  lblTopFolderIsEmpty->setAutoFillBackground(false);
  view_.Flush();
}

void frmIndexMain::Pull() {
  IndexSettings& s = module_.settings();
  s.txbProjectName = FromQt(txbProjectName->text());
  s.txbTitle = FromQt(txbTitle->text());
  s.txbExcludedFilepaths = FromQt(txbExcludedFilepaths->text());
  s.txbOutputFolder = FromQt(txbOutputFolder->text());
  s.txbTopFolder = FromQt(txbTopFolder->text());
  s.txbExcludedFiles = FromQt(txbExcludedFiles->toPlainText());
  s.txbIncludedFolders = FromQt(txbIncludedFolders->toPlainText());
  s.txbMinimumFilesize = FromQt(txbMinimumFilesize->text());
  s.chkExcludeFilesInTopFolder = chkExcludeFilesInTopFolder->isChecked();
  s.chkIncludeSubfoldersOfSubfolders =
      chkIncludeSubfoldersOfSubfolders->isChecked();
  s.chkExcludeSpecialLetters = chkExcludeSpecialLetters->isChecked();
  s.chkReadDocuments = chkReadDocuments->isChecked();
  s.chkWriteClassicDataFile = chkWriteClassicDataFile->isChecked();
}

void frmIndexMain::Push() {
  const IndexSettings& s = module_.settings();
  auto line = [](QLineEdit* box, const std::string& text) {
    const QString value = ToQt(text);
    if (box->text() != value) box->setText(value);
  };
  auto lines = [](QPlainTextEdit* box, const std::string& text) {
    const QString value = ToQt(text);
    if (box->toPlainText() != value) box->setPlainText(value);
  };
  line(txbProjectName, s.txbProjectName);
  line(txbTitle, s.txbTitle);
  line(txbExcludedFilepaths, s.txbExcludedFilepaths);
  line(txbOutputFolder, s.txbOutputFolder);
  line(txbTopFolder, s.txbTopFolder);
  lines(txbExcludedFiles, s.txbExcludedFiles);
  lines(txbIncludedFolders, s.txbIncludedFolders);
  line(txbMinimumFilesize, s.txbMinimumFilesize);
  chkExcludeFilesInTopFolder->setChecked(s.chkExcludeFilesInTopFolder);
  chkIncludeSubfoldersOfSubfolders->setChecked(
      s.chkIncludeSubfoldersOfSubfolders);
  chkExcludeSpecialLetters->setChecked(s.chkExcludeSpecialLetters);
  chkReadDocuments->setChecked(s.chkReadDocuments);
  chkWriteClassicDataFile->setChecked(s.chkWriteClassicDataFile);
}

void frmIndexMain::Apply(const std::function<void()>& rule) {
  // While a run goes on its settings are the run's: a focus change inside
  // it must not write the widgets over them.
  if (module_.state().running) return;
  Pull();
  rule();
  Push();
  view_.Flush();
  if (close_after_run_ && !module_.state().running) close();
}

void frmIndexMain::closeEvent(QCloseEvent* event) {
  if (module_.state().running) {
    // The run's loop still works on this window: deleting it now would
    // pull it from under the loop. The quit flag ends the run at its next
    // check, and the window closes when the run has returned.
    services().launcher.blnQuit = true;
    close_after_run_ = true;
    hide();
    event->ignore();
    return;
  }
  ModuleWindow::closeEvent(event);
}

void frmIndexMain::RefreshTopFolderState() {
  Apply([this] {
    window_.RefreshTopFolderState();
    window_.UpdateNumExcludedFiles();
  });
}

void frmIndexMain::showEvent(QShowEvent* event) {
  ModuleWindow::showEvent(event);
  window_.set_window_visible(true);
  window_.FocusNextControl();
}

void frmIndexMain::hideEvent(QHideEvent* event) {
  ModuleWindow::hideEvent(event);
  window_.set_window_visible(false);
}

void frmIndexMain::changeEvent(QEvent* event) {
  ModuleWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    if (isMinimized()) {
      setWindowTitle(kMinimizedCaption);
    } else if (!isMaximized()) {
      setWindowTitle(kept_caption_);
    }
  } else if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
             !module_.state().running) {
    Apply([this] { window_.FocusNextControl(); });
  }
}

bool frmIndexMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txbTopFolder && event->type() == QEvent::MouseButtonPress &&
      txbTopFolder->text().isEmpty() && txbTopFolder->isEnabled()) {
    cmdTopFolder_Click();
    return true;
  }
  if (watched == txbExcludedFiles && event->type() == QEvent::FocusOut) {
    txbExcludedFiles_LostFocus();
  }
  return ModuleWindow::eventFilter(watched, event);
}

void frmIndexMain::txbProjectName_Change() {
  const QString text = txbProjectName->text();
  if (!text.contains(' ')) return;
  const int cursor = txbProjectName->cursorPosition();
  txbProjectName->setText(ToQt(TypedProjectName(FromQt(text))));
  txbProjectName->setCursorPosition(cursor);
}

void frmIndexMain::txbProjectName_LostFocus() {
  Apply([this] { window_.CheckProjectName(); });
}

void frmIndexMain::cmdTopFolder_Click() {
  Apply([this] { window_.ChooseTopFolder(); });
}

void frmIndexMain::PathDropped(const std::string& path) {
  Apply([&] { window_.PathDropped(path); });
}

void frmIndexMain::cmdOutputFolder_Click() {
  Apply([this] { window_.ChooseOutputFolder(); });
}

void frmIndexMain::ShowSubfolderWindow(SelectSubfoldersValues& values) {
  frmSelectSubfolders selection(services(), this);
  // The window opens over this one, reaching to 150 and 200 twips before
  // its right and bottom edges.
  const QRect frame = frameGeometry();
  const QPoint button = cmdSelectSubfolders->mapTo(this, QPoint(0, 0));
  const int top = frame.top() + button.y() - TwipsToPixels(50);
  const int left = frame.left() + button.x() + TwipsToPixels(50);
  selection.setGeometry(left, top,
                        std::max(200, frame.right() - TwipsToPixels(150) - left),
                        std::max(200, frame.bottom() - TwipsToPixels(200) - top));
  selection.setWindowIcon(windowIcon());
  selection.values() = values;
  selection.ShowModal();
  values = selection.values();
}

void frmIndexMain::cmdSelectSubfolders_Click() {
  Apply([this] {
    SelectSubfoldersValues values;
    if (!window_.PrepareSubfolderSelection(&values)) return;
    show_subfolder_window(values);
    window_.SubfolderSelectionClosed(values);
  });
}

void frmIndexMain::cmdExcludeFiles_Click() {
  Apply([this] { window_.ExcludeFiles(); });
}

void frmIndexMain::txbExcludedFiles_LostFocus() {
  Apply([this] { window_.TidyExcludedFiles(); });
}

void frmIndexMain::cmdExpandFilepathExclusions_Click() {
  frmFilepathExclusions editor(services(), *this, *txbExcludedFilepaths);
  editor.ShowModal();
}

void frmIndexMain::chkExcludeSpecialLetters_Click() {
  Apply([this] { window_.FocusNextControl(); });
}

void frmIndexMain::cmdListFiles_Click(int index) {
  frmLargeDisplay& display = services().large_display;
  if (!display.blnActivated) {
    // Below the exclusion settings, reaching to 150 twips before this
    // window's right edge and 200 above its bottom.
    const QRect frame = frameGeometry();
    const QPoint anchor = chkExcludeFilesInTopFolder->mapTo(this, QPoint(0, 0));
    const std::int32_t top = PixelsToTwips(frame.top() + anchor.y()) + 380;
    const std::int32_t left = PixelsToTwips(frame.left() + anchor.x()) + 250;
    display.SetGeometryTwips(
        top, left,
        std::max<std::int32_t>(3000, PixelsToTwips(frame.right()) - 150 - left),
        std::max<std::int32_t>(2000, PixelsToTwips(frame.bottom()) - 200 - top));
  }
  if (display.isMinimized()) display.showNormal();
  Apply([this, index] {
    if (index == 0) {
      prgRunProgress->setVisible(false);
      module_.ListFiles();
    } else {
      module_.ListIndexedFiles();
    }
  });
}

void frmIndexMain::cmdExtractData_Click() {
  if (module_.state().running) {
    module_.PauseRun();
    return;
  }
  Apply([this] {
    prgRunProgress->setValue(0);
    prgRunProgress->setVisible(true);
    RunOutcome outcome = module_.CreateIndexFile();
    view_.Flush();
    if (outcome != RunOutcome::kCompleted) prgRunProgress->setVisible(false);
  });
}

void frmIndexMain::cboSettings_Click() {
  window_.SettingsItemChosen(cboSettings->currentIndex(),
                             cmdSettings->isEnabled());
  view_.Flush();
}

void frmIndexMain::cmdSettings_Click() {
  bool pop_up = false;
  Apply([&] { pop_up = window_.RunSettingsCommand(cboSettings->currentIndex()); });
  if (!pop_up) return;
  const QPoint button = cmdSettings->mapTo(this, QPoint(0, 0));
  const QRect frame = frameGeometry();
  const int inner_top = geometry().top() - frame.top();
  services().pop_up.PopUpInForm(
      *this, GetProgramText(kTextSettingsSaved), kPopUpWidth, kPopUpHeight,
      kPopUpInterval,
      static_cast<std::int16_t>(PixelsToTwips(inner_top + button.y()) -
                                kPopUpHeight - kPopUpGap),
      static_cast<std::int16_t>(PixelsToTwips(button.x())));
}

void frmIndexMain::cboClear_Click() {
  window_.ClearItemChosen(cboClear->currentIndex(), cmdClear->isEnabled());
  view_.Flush();
}

void frmIndexMain::cmdClear_Click() {
  Apply([this] { window_.Clear(cboClear->currentIndex()); });
}

void frmIndexMain::cmdReset_Click() {
  Apply([this] { window_.Reset(); });
}

void frmIndexMain::cmdSwitchToSearchModule_Click() {
  HandOverToSearchModule(services().launcher, FromQt(txbTopFolder->text()),
                         module_.IndexFileToHandOver());
  Unload();
}

void frmIndexMain::cmdQuit_Click() { Unload(); }

void frmIndexMain::lblUserManualURL_Click() {
  LaunchBrowser(GetProgramText(kTextUserManualAddress));
}

void frmIndexMain::lblOrvaneSystems_Click() {
  LaunchBrowser(GetProgramText(kTextMakersAddress));
}

}  // namespace orvane
