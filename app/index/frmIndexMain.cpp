#include "app/index/frmIndexMain.h"

#include <QGridLayout>

#include "app/qt_text.h"
#include "app/shell/common_window_helpers.h"
#include "app/shell/controls.h"
#include "engine/shell/launcher.h"
#include "engine/common/program_texts.h"
#include "engine/shell/twips.h"

namespace orvane {

frmIndexMain::frmIndexMain(ShellServices services) : ModuleWindow(services) {
  setObjectName("frmIndexMain");

  lblIntro = MakeControl<QLabel>(this, "lblIntro");
  lblIntro->setWordWrap(true);
  lblTopFolder = MakeControl<QLabel>(this, "lblTopFolder", "Top folder");
  txbTopFolder = MakeControl<QLineEdit>(this, "txbTopFolder");
  cmdSwitchToSearchModule = MakeControl<QPushButton>(
      this, "cmdSwitchToSearchModule", "Go to search modlule");
  cmdQuit = MakeControl<QPushButton>(this, "cmdQuit", "Quit");
  lblOrvaneSystems =
      MakeControl<LinkLabel>(this, "lblOrvaneSystems", "Orvane Systems");

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(14, 14, 14, 12);
  layout->setVerticalSpacing(12);
  layout->addWidget(lblIntro, 0, 0, 1, 3);
  layout->addWidget(lblTopFolder, 1, 0);
  layout->addWidget(txbTopFolder, 1, 1, 1, 2);
  layout->setRowStretch(2, 1);
  layout->addWidget(lblOrvaneSystems, 3, 0);
  layout->addWidget(cmdSwitchToSearchModule, 3, 1, Qt::AlignRight);
  layout->addWidget(cmdQuit, 3, 2);
  layout->setColumnStretch(1, 1);
  resize(TwipsToPixels(9000), TwipsToPixels(4500));

  connect(cmdSwitchToSearchModule, &QPushButton::clicked, this,
          &frmIndexMain::cmdSwitchToSearchModule_Click);
  connect(cmdQuit, &QPushButton::clicked, this, &frmIndexMain::cmdQuit_Click);
  connect(lblOrvaneSystems, &LinkLabel::Click, this,
          &frmIndexMain::lblOrvaneSystems_Click);
  Form_Load();
}

void frmIndexMain::Form_Load() {
  setWindowTitle(ModuleCaption(GetProgramText(4)));
  lblIntro->setText(ToQt(GetProgramText(19)));
  OV_common::SetWindowColour(*this, OV_common::WindowColour());
}

void frmIndexMain::cmdSwitchToSearchModule_Click() {
  HandOverToSearchModule(services().launcher, FromQt(txbTopFolder->text()),
                         index_path_);
  Unload();
}

void frmIndexMain::cmdQuit_Click() { Unload(); }

void frmIndexMain::lblOrvaneSystems_Click() {
  LaunchBrowser(GetProgramText(6));
}

}  // namespace orvane
