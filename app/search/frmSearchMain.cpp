#include "app/search/frmSearchMain.h"

#include <QGridLayout>

#include "app/qt_text.h"
#include "app/shell/common_window_helpers.h"
#include "app/shell/controls.h"
#include "engine/common/program_texts.h"
#include "engine/shell/twips.h"

namespace orvane {

frmSearchMain::frmSearchMain(ShellServices services) : ModuleWindow(services) {
  setObjectName("frmSearchMain");

  cmdIndexFile = MakeControl<QPushButton>(this, "cmdIndexFile", "Index file");
  txbIndexFile = MakeControl<QLineEdit>(this, "txbIndexFile");
  cmdTopFolder = MakeControl<QPushButton>(this, "cmdTopFolder", "Top folder");
  txbTopFolder = MakeControl<QLineEdit>(this, "txbTopFolder");
  lblSearchWords = MakeControl<QLabel>(this, "lblSearchWords", "Search words");
  txbSearchWords = MakeControl<QLineEdit>(this, "txbSearchWords");
  lblTitle[0] = MakeControl<QLabel>(this, "lblTitle[0]", "Title:");
  lblTitle[1] = MakeControl<QLabel>(this, "lblTitle[1]");
  cmdQuit = MakeControl<QPushButton>(this, "cmdQuit", "Quit");
  lblOrvaneSystems =
      MakeControl<LinkLabel>(this, "lblOrvaneSystems", "Orvane Systems");

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(14, 14, 14, 12);
  layout->setVerticalSpacing(10);
  layout->addWidget(cmdIndexFile, 0, 0);
  layout->addWidget(txbIndexFile, 0, 1, 1, 2);
  layout->addWidget(cmdTopFolder, 1, 0);
  layout->addWidget(txbTopFolder, 1, 1, 1, 2);
  layout->addWidget(lblTitle[0], 2, 0);
  layout->addWidget(lblTitle[1], 2, 1, 1, 2);
  layout->addWidget(lblSearchWords, 3, 0);
  layout->addWidget(txbSearchWords, 3, 1, 1, 2);
  layout->setRowStretch(4, 1);
  layout->addWidget(lblOrvaneSystems, 5, 0);
  layout->addWidget(cmdQuit, 5, 2);
  layout->setColumnStretch(1, 1);
  resize(TwipsToPixels(9000), TwipsToPixels(4500));

  connect(cmdQuit, &QPushButton::clicked, this, &frmSearchMain::cmdQuit_Click);
  connect(lblOrvaneSystems, &LinkLabel::Click, this,
          &frmSearchMain::lblOrvaneSystems_Click);
  Form_Load();
}

void frmSearchMain::Form_Load() {
  OV_common::SetWindowColour(*this, OV_common::WindowColour());
  setWindowTitle(ModuleCaption(GetProgramText(5)));
}

void frmSearchMain::ReceiveHandOver(const std::string& strTopFolder,
                                    const std::string& strIndexFile) {
  txbTopFolder->setText(ToQt(strTopFolder));
  txbIndexFile->setText(ToQt(strIndexFile));
  lblTitle[1]->clear();
  txbSearchWords->clear();
}

void frmSearchMain::cmdQuit_Click() { Unload(); }

void frmSearchMain::lblOrvaneSystems_Click() {
  LaunchBrowser(GetProgramText(6));
}

}  // namespace orvane
