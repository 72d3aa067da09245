#include "app/files/frmFilepathExclusions.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "app/shell/common_window_helpers.h"
#include "app/shell/controls.h"
#include "engine/files/filepath_exclusions.h"
#include "engine/shell/twips.h"

namespace orvane {

namespace {

// The editor's size when it is first shown, pixels.
constexpr int kInitialWidth = 440;
constexpr int kInitialHeight = 320;

}  // namespace

frmFilepathExclusions::frmFilepathExclusions(ShellServices services,
                                             QWidget& index_window,
                                             QLineEdit& txbExcludedFilepaths)
    : QDialog(&index_window),
      services_(services),
      index_window_(index_window),
      txbExcludedFilepaths_(txbExcludedFilepaths) {
  setObjectName("frmFilepathExclusions");
  setModal(true);
  setSizeGripEnabled(true);
  setWindowIcon(services_.launcher_window.windowIcon());
  setWindowTitle(ToQt(kFilepathExclusionsCaption));

  lblExcludeFilepathsContaining =
      MakeControl<QLabel>(this, "lblExcludeFilepathsContaining",
                          ToQt(kFilepathExclusionsExplanation));
  lblExcludeFilepathsContaining->setWordWrap(true);
  txbFilepathExclusions =
      MakeControl<QPlainTextEdit>(this, "txbFilepathExclusions");
  txbFilepathExclusions->setAccessibleName(
      lblExcludeFilepathsContaining->text());
  txbFilepathExclusions->setTabChangesFocus(true);
  txbFilepathExclusions->setLineWrapMode(QPlainTextEdit::NoWrap);
  lblExcludeFilepathsContaining->setBuddy(txbFilepathExclusions);
  cmdConfirm = MakeControl<QPushButton>(this, "cmdConfirm",
                                        ToQt(kConfirmExclusionsCaption));
  cmdCancel = MakeControl<QPushButton>(this, "cmdCancel",
                                       ToQt(kCancelExclusionsCaption));
  for (QPushButton* button : {cmdConfirm, cmdCancel}) {
    button->setAccessibleName(button->text());
    button->setAutoDefault(false);
  }

  // The explanation above the list, the buttons below it at the right.
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdConfirm);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->setSpacing(10);
  layout->addWidget(lblExcludeFilepathsContaining);
  layout->addWidget(txbFilepathExclusions, 1);
  layout->addLayout(buttons);
  setTabOrder(txbFilepathExclusions, cmdConfirm);
  setTabOrder(cmdConfirm, cmdCancel);

  connect(cmdConfirm, &QPushButton::clicked, this,
          &frmFilepathExclusions::cmdConfirm_Click);
  connect(cmdCancel, &QPushButton::clicked, this,
          &frmFilepathExclusions::cmdCancel_Click);
  resize(kInitialWidth, kInitialHeight);
}

void frmFilepathExclusions::Activate() {
  OV_common::SetWindowColour(*this, OV_common::WindowColour());
  txbFilepathExclusions->setPlainText(
      ToQt(FilepathExclusionsToLines(FromQt(txbExcludedFilepaths_.text()))));
  // Placed once shown, when the width of its frame is known.
  show();
  const QRect index = index_window_.frameGeometry();
  const EditorPosition position = PlaceFilepathExclusions(
      PixelsToTwips(index.x()), PixelsToTwips(index.y()),
      PixelsToTwips(index.width()), PixelsToTwips(frameGeometry().width()));
  move(TwipsToPixels(position.left), TwipsToPixels(position.top));
  txbFilepathExclusions->setFocus();
}

void frmFilepathExclusions::ShowModal() {
  Activate();
  exec();
}

void frmFilepathExclusions::cmdConfirm_Click() {
  const CleanedFilepathExclusions cleaned =
      CleanFilepathExclusions(FromQt(txbFilepathExclusions->toPlainText()));
  txbFilepathExclusions->setPlainText(ToQt(cleaned.lines));
  txbExcludedFilepaths_.setText(ToQt(cleaned.list));
  accept();
}

void frmFilepathExclusions::cmdCancel_Click() { reject(); }

}  // namespace orvane
