#include "app/frmMain.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/index/frmIndexMain.h"
#include "app/qt_text.h"
#include "app/search/frmSearchMain.h"
#include "app/shell/accessibility.h"
#include "app/shell/common_window_helpers.h"
#include "app/shell/controls.h"
#include "app/shell/frmLargeDisplay.h"
#include "app/shell/frmPopUp.h"
#include "engine/common/common_values.h"
#include "engine/common/program_texts.h"
#include "engine/shell/launcher.h"
#include "engine/shell/shell.h"
#include "engine/shell/twips.h"
#include "engine/text/charset.h"

namespace orvane {

frmMain::frmMain(Prompter& prompter, Yield& yield, Opener& opener,
                 Dialogs& dialogs, Clock& clock)
    : prompter_(prompter),
      yield_(yield),
      opener_(opener),
      dialogs_(dialogs),
      clock_(clock) {
  InstallAccessibleInterfaces();
  setObjectName("frmMain");
  setWindowTitle("Orvane File Search");

  txbIntro = MakeControl<QPlainTextEdit>(this, "txbIntro");
  txbIntro->setReadOnly(true);
  txbIntro->setFocusPolicy(Qt::NoFocus);
  txbIntro->setAccessibleName("Introduction");

  cmdIndexModule = MakeControl<QPushButton>(this, "cmdIndexModule",
                                            "Call up the index module");
  cmdSearchModule = MakeControl<QPushButton>(this, "cmdSearchModule",
                                             "Call up the search module");
  cmdHelp = MakeControl<QPushButton>(this, "cmdHelp", "User manual");
  cmdQuit = MakeControl<QPushButton>(this, "cmdQuit", "Quit");
  for (QPushButton* module_button : {cmdIndexModule, cmdSearchModule}) {
    module_button->setMinimumHeight(TwipsToPixels(600));
  }
  lblOrvaneSystems =
      MakeControl<LinkLabel>(this, "lblOrvaneSystems", "Orvane Systems");

  auto* modules = new QHBoxLayout;
  modules->setSpacing(12);
  modules->addWidget(cmdIndexModule);
  modules->addWidget(cmdSearchModule);
  auto* footer = new QHBoxLayout;
  footer->addWidget(lblOrvaneSystems);
  footer->addStretch(1);
  footer->addWidget(cmdHelp);
  footer->addWidget(cmdQuit);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 14, 14, 12);
  layout->setSpacing(12);
  layout->addWidget(txbIntro, 1);
  layout->addLayout(modules);
  layout->addSpacing(6);
  layout->addLayout(footer);
  resize(TwipsToPixels(8400), TwipsToPixels(4800));

  connect(cmdIndexModule, &QPushButton::clicked, this,
          &frmMain::cmdIndexModule_Click);
  connect(cmdSearchModule, &QPushButton::clicked, this,
          &frmMain::cmdSearchModule_Click);
  connect(cmdHelp, &QPushButton::clicked, this, &frmMain::cmdHelp_Click);
  connect(cmdQuit, &QPushButton::clicked, this, &frmMain::cmdQuit_Click);
  connect(lblOrvaneSystems, &LinkLabel::Click, this,
          &frmMain::lblOrvaneSystems_Click);

  pop_up_ = std::make_unique<frmPopUp>(*this);
  large_display_ = std::make_unique<frmLargeDisplay>();
}

frmMain::~frmMain() { delete module_.data(); }

ShellServices frmMain::services() {
  return ShellServices{prompter_, yield_,   opener_,        dialogs_,
                       clock_,    state_,   *this,          *pop_up_,
                       *large_display_};
}

bool frmMain::Form_Load() {
  state_.blnStartupCompleted = false;
  state_.strProgramTextFile = LowerCaseText(tag_) + ".dat";
  Status loaded = LoadProgramTexts(state_.strProgramTextFile);
  if (!loaded.ok()) {
    prompter_.ShowMessage(MessageIcon::kCritical, "", loaded.message());
    return false;
  }
  OV_common::InitCommonValues();
  txbIntro->setPlainText(ToQt(LauncherIntroductionText()));
  OV_common::SetWindowColour(*this, OV_common::WindowColour());
  show();
  // The first thing a user does here: open the Index Module.
  cmdIndexModule->setFocus();
  state_.blnStartupCompleted = true;
  return true;
}

void frmMain::OpenModule(ModuleWindow* window) {
  module_ = window;
  // Queued: the launcher comes back once the module's close has finished.
  connect(window, &ModuleWindow::Unloaded, this, &frmMain::ModuleUnloaded,
          Qt::QueuedConnection);
}

frmSearchMain& frmMain::LoadSearchModule() {
  if (auto* open = qobject_cast<frmSearchMain*>(module_.data())) return *open;
  auto* window = new frmSearchMain(services());
  OpenModule(window);
  return *window;
}

void frmMain::cmdIndexModule_Click() {
  hide();
  StartModule(state_);
  auto* window = new frmIndexMain(services());
  OpenModule(window);
  window->show();
}

void frmMain::cmdSearchModule_Click() {
  hide();
  StartModule(state_);
  LoadSearchModule().show();
}

void frmMain::cmdHelp_Click() {
  prompter_.ShowMessage(MessageIcon::kNone, FromQt(cmdHelp->text()),
                        UserManualMessage());
  // The message says where the manual is; its start page opens as well.
  Shell::LaunchBrowser(opener_, prompter_, GetProgramText(6));
}

void frmMain::cmdQuit_Click() {
  state_.blnQuit = true;
  ending_ = true;
  if (module_ != nullptr) module_->close();
  large_display_->hide();
  pop_up_->hide();
  hide();
  emit ProgramEnd();
}

void frmMain::closeEvent(QCloseEvent* event) {
  event->accept();
  cmdQuit_Click();
}

void frmMain::lblOrvaneSystems_Click() {
  Shell::LaunchBrowser(opener_, prompter_, GetProgramText(6));
}

void frmMain::ModuleUnloaded() {
  module_ = nullptr;
  if (ending_) return;
  show();
  Form_Activate();
}

void frmMain::Form_Activate() {
  if (!state_.blnIndexModuleToSearchModule) return;
  frmSearchMain& search = LoadSearchModule();
  search.ReceiveHandOver(state_.strTopFolder, state_.strIndexFile);
  cmdSearchModule_Click();
}

}  // namespace orvane
