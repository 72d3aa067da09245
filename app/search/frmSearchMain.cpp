#include "app/search/frmSearchMain.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QScreen>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "app/search/search_window_view.h"
#include "app/shell/common_window_helpers.h"
#include "app/shell/controls.h"
#include "app/shell/frmLargeDisplay.h"
#include "app/shell/frmPopUp.h"
#include "app/user_number_format.h"
#include "engine/common/program_texts.h"
#include "engine/search/search_settings_file.h"
#include "engine/shell/shell.h"
#include "engine/shell/twips.h"
#include "engine/text/file_checks.h"

namespace orvane {

namespace {

// What each clear button empties, for screen readers (all read "Clear").
constexpr const char* kClearNames[] = {
    "Clear results", "Clear top folder", "Clear index file",
    "Clear search words", "Clear single file"};

QPushButton* ClearButton(QWidget* parent, int element_index) {
  static const char* const kNames[] = {"cmdClear[0]", "cmdClear[1]",
                                       "cmdClear[2]", "cmdClear[3]",
                                       "cmdClear[4]"};
  auto* button = MakeControl<QPushButton>(parent, kNames[element_index], "Clear");
  button->setAccessibleName(kClearNames[element_index]);
  button->setVisible(false);
  return button;
}

}  // namespace

frmSearchMain::frmSearchMain(ShellServices services) : ModuleWindow(services) {
  setObjectName("frmSearchMain");
  BuildControls();
  LayOut();
  view_ = std::make_unique<SearchWindowView>(*this, *txbFiles);
  SearchPorts ports{services.prompter, *view_,           services.yield,
                    services.opener,   services.large_display,
                    services.launcher, UserNumberFormat()};
  module_ = std::make_unique<SearchModule>(ports);
  rules_ = std::make_unique<SearchWindow>(*module_, services.dialogs);
  Wire();
  AcceptPathDrops();
  Form_Load();
}

frmSearchMain::~frmSearchMain() = default;

void frmSearchMain::BuildControls() {
  cmdIndexFile = MakeControl<QPushButton>(this, "cmdIndexFile", "Index file");
  txbIndexFile = MakeControl<QLineEdit>(this, "txbIndexFile");
  txbIndexFile->setToolTip(
      "Click on the button at left to specify the index file.");
  txbIndexFile->setAccessibleName("Index file");
  cmdTopFolder = MakeControl<QPushButton>(this, "cmdTopFolder", "Top folder");
  txbTopFolder = MakeControl<QLineEdit>(this, "txbTopFolder");
  txbTopFolder->setToolTip(
      "Click on the button at left to specify the top folder in the folder "
      "tree of files to be searched.");
  txbTopFolder->setAccessibleName("Top folder");
  optSearchAllFiles = MakeControl<QRadioButton>(this, "optSearchAllFiles",
                                                "Search all indexed files");
  optSearchSingleFile = MakeControl<QRadioButton>(
      this, "optSearchSingleFile", "Search a single indexed file");
  cmdSpecifyFile = MakeControl<QPushButton>(this, "cmdSpecifyFile",
                                            "Specify file");
  txbSingleFile = MakeControl<QLineEdit>(this, "txbSingleFile");
  txbSingleFile->setToolTip(
      "Click on the button at left to specify a single file to be searched.");
  txbSingleFile->setAccessibleName("Single file");
  cmdListIndexedFiles = MakeControl<QPushButton>(this, "cmdListIndexedFiles",
                                                 "List indexed files");
  fraListIndexedFilesBy = MakeControl<QGroupBox>(this, "fraListIndexedFilesBy");
  fraListIndexedFilesBy->setAccessibleName("List indexed files by");
  fraListIndexedFilesBy->setFlat(true);
  optByFolder = MakeControl<QRadioButton>(fraListIndexedFilesBy, "optByFolder",
                                          "by folder");
  optAlphabetically = MakeControl<QRadioButton>(
      fraListIndexedFilesBy, "optAlphabetically", "alphabetically");

  lblTitle[0] = MakeControl<QLabel>(this, "lblTitle[0]", "Title:");
  lblTitle[1] = MakeControl<QLabel>(this, "lblTitle[1]");
  lblTitle[1]->setTextFormat(Qt::PlainText);
  lblTitle[0]->setBuddy(lblTitle[1]);
  lblSearchableWords = MakeControl<QLabel>(this, "lblSearchableWords");
  lblSearchableWords->setTextFormat(Qt::PlainText);

  lblSearchWords = MakeControl<QLabel>(this, "lblSearchWords", "&Search words:");
  txbSearchWords = MakeControl<QLineEdit>(this, "txbSearchWords");
  lblSearchWords->setBuddy(txbSearchWords);
  txbSearchWords->setAccessibleName("Search words");
  lblSearchType = MakeControl<QLabel>(this, "lblSearchType", "T&ype:");
  cboSearchType = MakeControl<QComboBox>(this, "cboSearchType");
  for (SearchType type : kSearchTypes) {
    cboSearchType->addItem(ToQt(SearchTypeLabel(type)));
  }
  cboSearchType->setAccessibleName("Search type");
  lblSearchType->setBuddy(cboSearchType);
  cmdSearch = MakeControl<QPushButton>(this, "cmdSearch", "Search");
  cmdSearch->setDefault(false);
  cmdSearch->setAutoDefault(false);
  cmdWhyNotFound =
      MakeControl<QPushButton>(this, "cmdWhyNotFound", "Why not found?");
  cmdWhyNotFound->setAutoDefault(false);
  cmdWhyNotFound->setToolTip(
      "Tells why the file in the single file box (or one you choose, or "
      "drop on the window) and the search words are not found.");

  lblNumFilesFound = MakeControl<QLabel>(this, "lblNumFilesFound");
  txbFiles = MakeControl<QPlainTextEdit>(this, "txbFiles");
  txbFiles->setReadOnly(true);
  txbFiles->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                    Qt::TextSelectableByKeyboard);
  txbFiles->setAccessibleName("Files found");
  txbFiles->setLineWrapMode(QPlainTextEdit::NoWrap);
  cmdCopyToClipboard = MakeControl<QPushButton>(this, "cmdCopyToClipboard",
                                                "Copy to clipboard");
  for (int i = 0; i < 5; ++i) cmdClear[i] = ClearButton(this, i);

  fraOptions = MakeControl<QGroupBox>(this, "fraOptions", "Options");
  chkSortMatches = MakeControl<QCheckBox>(
      fraOptions, "chkSortMatches", "Sort files found by search word occurrence");
  chkSortByRelevance = MakeControl<QCheckBox>(
      fraOptions, "chkSortByRelevance", "Sort by relevance (rare words count more)");
  chkSortByRelevance->setToolTip(
      "Ranks the files found by how rare each search word is in the index "
      "and how often the file holds it, instead of by the sum of the "
      "words' occurrence scores.");
  chkGenerateHTML = MakeControl<QCheckBox>(
      fraOptions, "chkGenerateHTML", "Generate report on completion of search");
  chkDisplayDescriptions = MakeControl<QCheckBox>(
      fraOptions, "chkDisplayDescriptions", "Include descriptions in report");
  chkDisplayFilepaths = MakeControl<QCheckBox>(
      fraOptions, "chkDisplayFilepaths", "Include filepaths in HTML report");
  chkExplainScores = MakeControl<QCheckBox>(
      fraOptions, "chkExplainScores", "Show the scores of each file found");
  chkOnQuitDeleteDataFile = MakeControl<QCheckBox>(
      fraOptions, "chkOnQuitDeleteDataFile",
      "On quit delete the store and data files");
  lblSizeOfExtract =
      MakeControl<QLabel>(fraOptions, "lblSizeOfExtract", "Size of e&xtract:");
  cboSizeOfExtract = MakeControl<QComboBox>(fraOptions, "cboSizeOfExtract");
  for (char size = '1'; size <= '9'; ++size) {
    cboSizeOfExtract->addItem(QString(QChar(size)));
  }
  cboSizeOfExtract->setAccessibleName("Size of extract");
  lblSizeOfExtract->setBuddy(cboSizeOfExtract);
  lblMaxNumExtracts = MakeControl<QLabel>(fraOptions, "lblMaxNumExtracts",
                                          "&Maximum number of extracts:");
  txbMaxNumExtracts = MakeControl<QLineEdit>(fraOptions, "txbMaxNumExtracts");
  txbMaxNumExtracts->setAccessibleName("Maximum number of extracts");
  txbMaxNumExtracts->setMaximumWidth(70);
  lblMaxNumExtracts->setBuddy(txbMaxNumExtracts);
  lblLeaveBlank = MakeControl<QLabel>(fraOptions, "lblLeaveBlank",
                                      "Leave blank if no limit.");
  fraReport = MakeControl<QGroupBox>(fraOptions, "fraReport", "Report");
  // Named as it reads: a screen reader would name a frame inside a frame
  // after the outer one ("Options"), and the options in it with it.
  fraReport->setAccessibleName("Report");
  optHTMLReport = MakeControl<QRadioButton>(fraReport, "optHTMLReport", "HTML");
  optTextReport = MakeControl<QRadioButton>(fraReport, "optTextReport", "Text");
  cmdGenerateHTML = MakeControl<QPushButton>(this, "cmdGenerateHTML", "Report ->");

  cboSettings = MakeControl<QComboBox>(this, "cboSettings");
  cboSettings->addItems({"Save for next run", "Save to file",
                         "Save in both ways", "Load from file"});
  cboSettings->setAccessibleName("Settings");
  cmdSettings = MakeControl<QPushButton>(this, "cmdSettings", "Settings -->");

  // The status line: where the last report went, to be selected and
  // copied; a long path does not widen the window.
  lblStatus = MakeControl<QLabel>(this, "lblStatus");
  lblStatus->setTextFormat(Qt::PlainText);
  lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                     Qt::TextSelectableByKeyboard);
  lblStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  lblUserManualURL = MakeControl<LinkLabel>(this, "lblUserManualURL", "");
  lblUserManualURL->setToolTip("Click here for the online user manual.");
  lblOrvaneSystems =
      MakeControl<LinkLabel>(this, "lblOrvaneSystems", "Orvane Systems");
  cmdQuit = MakeControl<QPushButton>(this, "cmdQuit", "Quit");

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(1000);
}

void frmSearchMain::LayOut() {
  // The index file, the top folder and the mode with its controls.
  auto* files = new QGridLayout;
  files->setHorizontalSpacing(8);
  files->setVerticalSpacing(8);
  files->addWidget(cmdIndexFile, 0, 0);
  files->addWidget(txbIndexFile, 0, 1, 1, 3);
  files->addWidget(cmdClear[2], 0, 4);
  files->addWidget(cmdTopFolder, 1, 0);
  files->addWidget(txbTopFolder, 1, 1, 1, 3);
  files->addWidget(cmdClear[1], 1, 4);
  auto* modes = new QHBoxLayout;
  modes->addWidget(optSearchAllFiles);
  modes->addSpacing(24);
  modes->addWidget(optSearchSingleFile);
  modes->addStretch(1);
  files->addLayout(modes, 2, 1, 1, 3);
  // The listing button and its orders share their place with the single
  // file: one pair shows at a time.
  auto* orders = new QHBoxLayout(fraListIndexedFilesBy);
  orders->setContentsMargins(0, 0, 0, 0);
  orders->addWidget(optByFolder);
  orders->addSpacing(16);
  orders->addWidget(optAlphabetically);
  orders->addStretch(1);
  files->addWidget(cmdListIndexedFiles, 3, 0);
  files->addWidget(fraListIndexedFilesBy, 3, 1, 1, 3);
  files->addWidget(cmdSpecifyFile, 4, 0);
  files->addWidget(txbSingleFile, 4, 1, 1, 3);
  files->addWidget(cmdClear[4], 4, 4);
  files->setColumnStretch(1, 1);
  for (QPushButton* b : {cmdIndexFile, cmdTopFolder, cmdListIndexedFiles,
                         cmdSpecifyFile}) {
    b->setMinimumWidth(120);
  }

  auto* title = new QHBoxLayout;
  title->addWidget(lblTitle[0]);
  title->addWidget(lblTitle[1], 1);
  title->addWidget(lblSearchableWords);

  auto* query = new QHBoxLayout;
  query->setSpacing(8);
  query->addWidget(lblSearchWords);
  query->addWidget(txbSearchWords, 1);
  query->addWidget(cmdClear[3]);
  query->addSpacing(8);
  query->addWidget(lblSearchType);
  query->addWidget(cboSearchType);
  query->addWidget(cmdSearch);
  query->addWidget(cmdWhyNotFound);
  cmdSearch->setMinimumWidth(100);

  // The results on the left, growing with the window; the options beside.
  auto* results = new QVBoxLayout;
  results->addWidget(lblNumFilesFound);
  results->addWidget(txbFiles, 1);
  auto* copy = new QHBoxLayout;
  copy->addStretch(1);
  copy->addWidget(cmdCopyToClipboard);
  copy->addWidget(cmdClear[0]);
  copy->addStretch(1);
  results->addLayout(copy);

  auto* report_kind = new QHBoxLayout(fraReport);
  report_kind->addWidget(optHTMLReport);
  report_kind->addWidget(optTextReport);
  report_kind->addStretch(1);
  auto* options = new QVBoxLayout(fraOptions);
  for (QCheckBox* box : {chkSortMatches, chkSortByRelevance, chkGenerateHTML,
                         chkDisplayDescriptions, chkDisplayFilepaths,
                         chkExplainScores, chkOnQuitDeleteDataFile}) {
    options->addWidget(box);
  }
  auto* extracts = new QGridLayout;
  extracts->addWidget(lblSizeOfExtract, 0, 0);
  extracts->addWidget(cboSizeOfExtract, 0, 1, Qt::AlignLeft);
  extracts->addWidget(lblMaxNumExtracts, 1, 0);
  extracts->addWidget(txbMaxNumExtracts, 1, 1, Qt::AlignLeft);
  extracts->addWidget(lblLeaveBlank, 2, 1);
  {
    QFont hint = lblLeaveBlank->font();
    hint.setPointSizeF(hint.pointSizeF() * 0.9);
    hint.setItalic(true);
    lblLeaveBlank->setFont(hint);
  }
  extracts->setColumnStretch(1, 1);
  options->addSpacing(4);
  options->addLayout(extracts);
  options->addWidget(fraReport);

  auto* side = new QVBoxLayout;
  side->addWidget(fraOptions);
  side->addWidget(cmdGenerateHTML);
  side->addStretch(1);
  auto* settings = new QHBoxLayout;
  settings->addWidget(cboSettings, 1);
  settings->addWidget(cmdSettings);
  side->addLayout(settings);

  auto* middle = new QHBoxLayout;
  middle->setSpacing(14);
  middle->addLayout(results, 1);
  middle->addLayout(side);

  auto* footer = new QHBoxLayout;
  footer->addWidget(lblOrvaneSystems);
  footer->addSpacing(16);
  footer->addWidget(lblUserManualURL);
  footer->addStretch(1);
  footer->addWidget(cmdQuit);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 14, 14, 12);
  layout->setSpacing(10);
  layout->addLayout(files);
  layout->addLayout(title);
  layout->addLayout(query);
  layout->addLayout(middle, 1);
  layout->addWidget(lblStatus);
  layout->addLayout(footer);
  resize(TwipsToPixels(14400), TwipsToPixels(10200));
  // Frames drawn as a thin rounded line, their insides in the window
  // colour; the listing orders stand on the window without a frame.
  setStyleSheet(
      "QGroupBox { border: 1px solid rgba(60, 40, 90, 70); border-radius: 5px;"
      " margin-top: 1.2em; padding: 6px 6px 4px 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 9px;"
      " padding: 0 3px; }"
      "QGroupBox#fraListIndexedFilesBy { border: none; margin-top: 0;"
      " padding: 0; }");

  // Tab order: top to bottom, left to right, as the controls are laid out.
  QWidget* order[] = {cmdIndexFile, txbIndexFile, cmdClear[2], cmdTopFolder,
                      txbTopFolder, cmdClear[1], optSearchAllFiles,
                      optSearchSingleFile, cmdListIndexedFiles, optByFolder,
                      optAlphabetically, cmdSpecifyFile, txbSingleFile,
                      cmdClear[4], txbSearchWords, cmdClear[3], cboSearchType,
                      cmdSearch, cmdWhyNotFound, txbFiles, cmdCopyToClipboard, cmdClear[0],
                      chkSortMatches, chkSortByRelevance, chkGenerateHTML,
                      chkDisplayDescriptions, chkDisplayFilepaths, chkExplainScores,
                      chkOnQuitDeleteDataFile, cboSizeOfExtract, txbMaxNumExtracts, optHTMLReport,
                      optTextReport, cmdGenerateHTML, cboSettings, cmdSettings,
                      cmdQuit};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }
}

void frmSearchMain::Wire() {
  connect(cmdIndexFile, &QPushButton::clicked, this,
          &frmSearchMain::cmdIndexFile_Click);
  connect(cmdTopFolder, &QPushButton::clicked, this,
          &frmSearchMain::cmdTopFolder_Click);
  connect(cmdSpecifyFile, &QPushButton::clicked, this,
          &frmSearchMain::cmdSpecifyFile_Click);
  connect(cmdListIndexedFiles, &QPushButton::clicked, this,
          &frmSearchMain::cmdListIndexedFiles_Click);
  connect(cmdSearch, &QPushButton::clicked, this,
          &frmSearchMain::cmdSearch_Click);
  connect(txbSearchWords, &QLineEdit::returnPressed, this,
          &frmSearchMain::cmdSearch_Click);
  connect(cmdWhyNotFound, &QPushButton::clicked, this,
          &frmSearchMain::cmdWhyNotFound_Click);
  connect(cmdGenerateHTML, &QPushButton::clicked, this,
          &frmSearchMain::cmdGenerateHTML_Click);
  connect(cmdSettings, &QPushButton::clicked, this,
          &frmSearchMain::cmdSettings_Click);
  connect(cboSettings, &QComboBox::activated, this,
          &frmSearchMain::cboSettings_Click);
  connect(cmdCopyToClipboard, &QPushButton::clicked, this,
          &frmSearchMain::cmdCopyToClipboard_Click);
  for (int i = 0; i < 5; ++i) {
    connect(cmdClear[i], &QPushButton::clicked, this,
            [this, i] { cmdClear_Click(i); });
  }
  connect(cmdQuit, &QPushButton::clicked, this, &frmSearchMain::cmdQuit_Click);
  connect(optSearchAllFiles, &QRadioButton::clicked, this,
          &frmSearchMain::optSearchAllFiles_Click);
  connect(optSearchSingleFile, &QRadioButton::clicked, this,
          &frmSearchMain::optSearchSingleFile_Click);
  connect(chkSortMatches, &QCheckBox::clicked, this,
          &frmSearchMain::chkSortMatches_Click);
  connect(chkSortByRelevance, &QCheckBox::clicked, this,
          &frmSearchMain::chkSortByRelevance_Click);
  connect(optHTMLReport, &QRadioButton::clicked, this,
          &frmSearchMain::optReport_Click);
  connect(optTextReport, &QRadioButton::clicked, this,
          &frmSearchMain::optReport_Click);
  for (QCheckBox* box : {chkGenerateHTML, chkDisplayFilepaths, chkExplainScores,
                         chkDisplayDescriptions, chkOnQuitDeleteDataFile}) {
    connect(box, &QCheckBox::clicked, this, &frmSearchMain::FocusRule_Click);
  }
  for (QComboBox* combo : {cboSearchType, cboSizeOfExtract}) {
    connect(combo, &QComboBox::activated, this,
            &frmSearchMain::FocusRule_Click);
  }
  connect(txbSearchWords, &QLineEdit::textChanged, this,
          &frmSearchMain::txbSearchWords_Change);
  connect(txbTopFolder, &QLineEdit::textChanged, this,
          &frmSearchMain::txbTopFolder_Change);
  connect(txbFiles, &QPlainTextEdit::selectionChanged, this,
          &frmSearchMain::txbFiles_SelectionChanged);
  txbFiles->viewport()->installEventFilter(this);
  connect(lblUserManualURL, &LinkLabel::Click, this,
          &frmSearchMain::lblUserManualURL_Click);
  connect(lblOrvaneSystems, &LinkLabel::Click, this,
          &frmSearchMain::lblOrvaneSystems_Click);
  connect(Timer1, &QTimer::timeout, this, &frmSearchMain::Timer1_Timer);
}

void frmSearchMain::Form_Load() {
  OV_common::SetWindowColour(*this, OV_common::WindowColour());
  caption_ = ModuleCaption(GetProgramText(5));
  setWindowTitle(caption_);
  module_->state().window_caption = FromQt(caption_);
  lblUserManualURL->setText(ToQt(Shell::kUserManualCaption));
  rules_->SetSearchDefaults();
  const std::string defaults = DefaultSearchSettingsPath();
  if (FileExists(defaults)) rules_->LoadSettings(defaults, false);
  ShowSettings();
  cmdCopyToClipboard->setText(ToQt(CopyButtonCaption(false)));
  Timer1->start();
  blnStartupCompleted = true;
}

void frmSearchMain::showEvent(QShowEvent* event) {
  ModuleWindow::showEvent(event);
  Form_Activate();
}

void frmSearchMain::Form_Activate() {
  ReadControls();
  rules_->ShowClearButtons();
  cmdClear[4]->setVisible(optSearchSingleFile->isChecked() &&
                          !txbSingleFile->text().isEmpty());
  ApplyFocusRule();
}

void frmSearchMain::ReceiveHandOver(const std::string& strTopFolder,
                                    const std::string& strIndexFile) {
  ReadControls();
  SearchSettings& settings = module_->settings();
  settings.txbTopFolder = strTopFolder;
  settings.txbIndexFile = strIndexFile;
  settings.txbSearchWords.clear();
  settings.project_title.clear();
  module_->ForgetIndex();
  module_->state().blnTopFolderChecked = false;
  ShowSettings();
}

void frmSearchMain::ReadControls() {
  if (module_->busy()) return;
  SearchSettings& s = module_->settings();
  const std::string index_file = FromQt(txbIndexFile->text());
  // Another index file typed into the box: the loaded one no longer counts.
  if (index_file != s.txbIndexFile) module_->ForgetIndex();
  const std::string top = FromQt(txbTopFolder->text());
  if (top != s.txbTopFolder) module_->state().blnTopFolderChecked = false;
  s.txbIndexFile = index_file;
  s.txbTopFolder = top;
  s.optSearchSingleFile = optSearchSingleFile->isChecked();
  s.txbSingleFile = FromQt(txbSingleFile->text());
  s.txbSearchWords = FromQt(txbSearchWords->text());
  s.cboSearchType = static_cast<SearchType>(cboSearchType->currentIndex());
  s.chkSortMatches = chkSortMatches->isChecked();
  s.sort_by_relevance = chkSortByRelevance->isChecked();
  s.chkGenerateHTML = chkGenerateHTML->isChecked();
  s.optHTMLReport = optHTMLReport->isChecked();
  s.chkDisplayDescriptions = chkDisplayDescriptions->isChecked();
  s.chkDisplayFilepaths = chkDisplayFilepaths->isChecked();
  s.explain_scores = chkExplainScores->isChecked();
  s.chkOnQuitDeleteDataFile = chkOnQuitDeleteDataFile->isChecked();
  s.cboSizeOfExtract = static_cast<std::int16_t>(cboSizeOfExtract->currentIndex());
  s.txbMaxNumExtracts = FromQt(txbMaxNumExtracts->text());
  s.optByFolder = optByFolder->isChecked();
  s.project_title = FromQt(lblTitle[1]->text());
}

void frmSearchMain::ShowSettings() {
  const SearchSettings& s = module_->settings();
  txbIndexFile->setText(ToQt(s.txbIndexFile));
  txbTopFolder->setText(ToQt(s.txbTopFolder));
  (s.optSearchSingleFile ? optSearchSingleFile : optSearchAllFiles)
      ->setChecked(true);
  txbSingleFile->setText(ToQt(s.txbSingleFile));
  {
    // The box shows the words as they are; they are no edit of the user.
    const bool changed = module_->state().blnSearchWordsChanged;
    txbSearchWords->setText(ToQt(s.txbSearchWords));
    module_->state().blnSearchWordsChanged = changed;
  }
  cboSearchType->setCurrentIndex(static_cast<int>(s.cboSearchType));
  chkSortMatches->setChecked(s.chkSortMatches);
  chkSortByRelevance->setChecked(RanksByRelevance(s));
  chkGenerateHTML->setChecked(s.chkGenerateHTML);
  (s.optHTMLReport ? optHTMLReport : optTextReport)->setChecked(true);
  chkDisplayDescriptions->setChecked(s.chkDisplayDescriptions);
  chkDisplayFilepaths->setChecked(s.chkDisplayFilepaths);
  chkExplainScores->setChecked(s.explain_scores);
  chkOnQuitDeleteDataFile->setChecked(s.chkOnQuitDeleteDataFile);
  cboSizeOfExtract->setCurrentIndex(s.cboSizeOfExtract);
  txbMaxNumExtracts->setText(ToQt(s.txbMaxNumExtracts));
  (s.optByFolder ? optByFolder : optAlphabetically)->setChecked(true);
  lblTitle[1]->setText(ToQt(s.project_title));
  rules_->ShowClearButtons();
  rules_->ShowSearchMode(Facts());
  ShowBoldModeOption();
}

void frmSearchMain::ShowBoldModeOption() {
  // As the widgets stand now; the settings take them at the next handler.
  SearchSettings shown = module_->settings();
  shown.txbTopFolder = FromQt(txbTopFolder->text());
  shown.optSearchSingleFile = optSearchSingleFile->isChecked();
  const std::string_view bold = BoldModeOption(shown);
  for (QRadioButton* option : {optSearchAllFiles, optSearchSingleFile}) {
    QFont font = option->font();
    font.setBold(option->objectName().toStdString() == bold);
    option->setFont(font);
  }
}

SearchWindowFacts frmSearchMain::Facts() const {
  SearchWindowFacts facts;
  facts.window_visible = isVisible();
  facts.cmdTopFolder_usable = cmdTopFolder->isVisible() && cmdTopFolder->isEnabled();
  facts.cmdIndexFile_enabled = cmdIndexFile->isEnabled();
  facts.txbSearchWords_enabled = txbSearchWords->isEnabled();
  facts.cmdSearch_enabled = cmdSearch->isEnabled();
  return facts;
}

void frmSearchMain::ApplyFocusRule() {
  ReadControls();
  rules_->ApplyFocusRule(Facts());
}

template <class Handler>
void frmSearchMain::RunHandler(Handler handler) {
  if (handler_depth_ == 0) view_->BeginHandler();
  ++handler_depth_;
  handler();
  view_->Flush();
  --handler_depth_;
  if (handler_depth_ == 0 && quit_pending_) close();
}

void frmSearchMain::cmdIndexFile_Click() {
  RunHandler([this] {
    DialogRequest request;
    request.title = GetProgramText(65);
    request.start_folder = rules_->IndexFileDialogFolder();
    request.filters = {{"TAVO index files", "*.tavo"}};
    const std::string name = services().dialogs.OpenFile(request);
    if (!name.empty()) {
      ReadControls();
      module_->ChooseIndexFile(name);
      module_->settings().project_title = FromQt(lblTitle[1]->text());
    }
    ApplyFocusRule();
  });
}

void frmSearchMain::PathDropped(const std::string& path) {
  if (module_->busy()) return;
  RunHandler([&] {
    ReadControls();
    module_->PathDropped(path);
    module_->settings().project_title = FromQt(lblTitle[1]->text());
    ShowBoldModeOption();
    ApplyFocusRule();
  });
}

void frmSearchMain::cmdTopFolder_Click() {
  DialogRequest request;
  request.title = GetProgramText(64);
  request.start_folder = FromQt(txbTopFolder->text());
  const std::string folder = services().dialogs.ChooseFolder(request);
  if (folder.empty()) return;
  ReadControls();
  module_->ChooseTopFolder(folder);
  ApplyFocusRule();
}

void frmSearchMain::cmdSpecifyFile_Click() {
  ReadControls();
  if (module_->settings().txbTopFolder.empty()) {
    module_->SpecifySingleFile("");  // tells that the top folder comes first
    return;
  }
  DialogRequest request;
  request.title = GetProgramText(71);
  request.start_folder = module_->settings().txbTopFolder;
  const std::string file = services().dialogs.OpenFile(request);
  if (!file.empty()) module_->SpecifySingleFile(file);
  rules_->ShowClearButtons();
}

void frmSearchMain::cmdWhyNotFound_Click() {
  if (module_->busy()) return;
  ReadControls();
  std::string file = module_->settings().txbSingleFile;
  if (file.empty() && !module_->settings().txbIndexFile.empty()) {
    DialogRequest request;
    request.title = "Why not found?";
    request.start_folder = module_->settings().txbTopFolder;
    file = services().dialogs.OpenFile(request);
    if (file.empty()) return;
  }
  RunHandler([&] { module_->WhyNotFound(file); });
}

void frmSearchMain::cmdListIndexedFiles_Click() {
  RunHandler([this] {
    ReadControls();
    PlaceDisplayForListing();
    module_->ListIndexedFiles();
    module_->settings().project_title = FromQt(lblTitle[1]->text());
  });
}

void frmSearchMain::cmdSearch_Click() {
  if (module_->busy()) {
    module_->Search();  // Stop, or a click the run ignores
    return;
  }
  RunHandler([this] {
    ReadControls();
    if (module_->settings().chkGenerateHTML &&
        !module_->settings().optHTMLReport) {
      PlaceDisplayForReport();
    }
    const SearchModule::SearchClick click = module_->Search();
    if (click == SearchModule::SearchClick::kQuit) {
      quit_pending_ = true;
      return;
    }
    module_->settings().project_title = FromQt(lblTitle[1]->text());
    view_->Flush();
    txbFiles->moveCursor(QTextCursor::Start);
    ApplyFocusRule();
  });
}

void frmSearchMain::cmdGenerateHTML_Click() {
  if (module_->busy()) {
    module_->MakeReport();  // Stop while a report runs
    return;
  }
  RunHandler([this] {
    ReadControls();
    if (!module_->settings().optHTMLReport) PlaceDisplayForReport();
    module_->MakeReport();
  });
}

void frmSearchMain::cmdSettings_Click() {
  if (module_->busy()) return;
  ReadControls();
  const SettingsOutcome outcome = rules_->RunSettingsCommand(
      static_cast<SettingsCommand>(cboSettings->currentIndex()));
  if (outcome.loaded) ShowSettings();
  if (outcome.pop_up) {
    const QPoint at = cmdSettings->mapTo(this, QPoint(0, 0));
    services().pop_up.PopUpInForm(
        *this, GetProgramText(17), 2000, 380, 2000,
        static_cast<std::int16_t>(PixelsToTwips(at.y()) + 1000),
        static_cast<std::int16_t>(PixelsToTwips(at.x())));
  }
}

void frmSearchMain::cboSettings_Click(int index) {
  if (blnStartupCompleted && index != last_settings_choice_) {
    rules_->SettingsItemChosen();
    ApplyFocusRule();
  }
  last_settings_choice_ = index;
}

void frmSearchMain::cmdCopyToClipboard_Click() {
  QTextCursor cursor = txbFiles->textCursor();
  const QString text =
      cursor.hasSelection() ? cursor.selectedText() : txbFiles->toPlainText();
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  // A selection holds paragraph separators; the clipboard takes line ends.
  clipboard->setText(ToQt(FromQt(text)));
  cursor.clearSelection();
  txbFiles->setTextCursor(cursor);
  txbFiles_SelectionChanged();
  if (isVisible() && cmdClear[0]->isEnabled()) cmdClear[0]->setFocus();
}

void frmSearchMain::txbFiles_SelectionChanged() {
  cmdCopyToClipboard->setText(
      ToQt(CopyButtonCaption(txbFiles->textCursor().hasSelection())));
}

void frmSearchMain::cmdClear_Click(int element_index) {
  if (module_->busy()) return;
  ReadControls();
  rules_->Clear(element_index);
  if (element_index == 0) cmdCopyToClipboard->setEnabled(false);
}

void frmSearchMain::cmdQuit_Click() { close(); }

void frmSearchMain::optSearchAllFiles_Click() {
  ReadControls();
  rules_->ShowSearchMode(Facts());
  ShowBoldModeOption();
}

void frmSearchMain::optSearchSingleFile_Click() {
  ReadControls();
  rules_->ShowSearchMode(Facts());
  ShowBoldModeOption();
}

void frmSearchMain::chkSortMatches_Click() {
  module_->SortMatchesClicked(chkSortMatches->isChecked());
  chkSortByRelevance->setChecked(module_->settings().sort_by_relevance);
  ApplyFocusRule();
}

void frmSearchMain::chkSortByRelevance_Click() {
  module_->SortByRelevanceClicked(chkSortByRelevance->isChecked());
  chkSortMatches->setChecked(module_->settings().chkSortMatches);
  ApplyFocusRule();
}

void frmSearchMain::optReport_Click() {
  if (isVisible() && cmdGenerateHTML->isEnabled()) cmdGenerateHTML->setFocus();
}

void frmSearchMain::FocusRule_Click() { ApplyFocusRule(); }

void frmSearchMain::txbSearchWords_Change(const QString& text) {
  const QString normalised = ToQt(module_->SearchWordsChanged(FromQt(text)));
  if (normalised != text) txbSearchWords->setText(normalised);
}

void frmSearchMain::txbTopFolder_Change() { ShowBoldModeOption(); }

void frmSearchMain::Timer1_Timer() {
  // While a run goes on its controls stay as the run set them.
  if (module_->busy() || handler_depth_ > 0) return;
  SearchTimerFacts facts;
  facts.cmdListIndexedFiles_visible = cmdListIndexedFiles->isVisibleTo(this);
  facts.cmdListIndexedFiles_enabled = cmdListIndexedFiles->isEnabled();
  facts.results_empty = txbFiles->document()->isEmpty();
  ReadControls();
  rules_->Timer1_Timer(facts);
}

void frmSearchMain::lblUserManualURL_Click() {
  LaunchBrowser(GetProgramText(3));
}

void frmSearchMain::lblOrvaneSystems_Click() {
  LaunchBrowser(GetProgramText(6));
}

bool frmSearchMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txbFiles->viewport() &&
      event->type() == QEvent::MouseButtonDblClick) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) {
      OpenFoundFileAt(mouse->position().toPoint());
    }
  }
  return ModuleWindow::eventFilter(watched, event);
}

void frmSearchMain::OpenFoundFileAt(const QPoint& viewport_point) {
  if (module_->busy()) return;
  const QString line = txbFiles->cursorForPosition(viewport_point).block().text();
  const std::string path =
      rules_->FoundFileAtLine(FromQt(line));
  if (path.empty()) return;
  Shell::OpenDocument(services().opener, services().prompter, path, true);
}

void frmSearchMain::changeEvent(QEvent* event) {
  ModuleWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  if (isMinimized()) {
    setWindowTitle(ToQt(MinimisedCaption()));
  } else if (windowState() == Qt::WindowNoState) {
    setWindowTitle(caption_);
  }
}

void frmSearchMain::PlaceDisplayForReport() {
  frmLargeDisplay& display = services().large_display;
  const QRect frame = frameGeometry();
  QRect place(frame.left() + TwipsToPixels(150), frame.top() + TwipsToPixels(400),
              frame.width() - TwipsToPixels(300),
              frame.height() - TwipsToPixels(600));
  // Wide extracts take the width of the screen but a tenth either side.
  if (cboSizeOfExtract->currentIndex() >= 3) {
    if (QScreen* screen = this->screen()) {
      const int width = screen->availableGeometry().width();
      place.setLeft(width / 10);
      place.setWidth(width - width / 5);
    }
  }
  if (display.isMinimized()) display.showNormal();
  display.setGeometry(place);
}

void frmSearchMain::PlaceDisplayForListing() {
  frmLargeDisplay& display = services().large_display;
  if (display.isMinimized() || display.isMaximized()) display.Hide();
  // Inside the window, from the listing button's row down.
  const QPoint anchor = cmdListIndexedFiles->mapToGlobal(QPoint(0, 0));
  const QRect frame = geometry();
  const int left = anchor.x() + TwipsToPixels(40);
  const int top = anchor.y() + TwipsToPixels(310);
  display.setGeometry(left, top, frame.right() - left - TwipsToPixels(150),
                      frame.bottom() - top - TwipsToPixels(200));
}

void frmSearchMain::closeEvent(QCloseEvent* event) {
  if (module_->busy() || handler_depth_ > 0) {
    // The run in progress ends at its next check; the window unloads when
    // its handler has returned.
    services().launcher.blnQuit = true;
    module_->state().blnStop = true;
    module_->state().report_stop = true;
    services().large_display.Hide();
    quit_pending_ = true;
    hide();
    event->ignore();
    return;
  }
  Timer1->stop();
  ModuleWindow::closeEvent(event);
}

void frmSearchMain::Form_Unload() {
  ReadControls();
  rules_->DeleteDataFileOnQuit();
  ModuleWindow::Form_Unload();
}

}  // namespace orvane
