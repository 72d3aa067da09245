#include "app/files/frmSelectSubfolders.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "app/qt_text.h"
#include "app/shell/common_window_helpers.h"
#include "app/shell/controls.h"
#include "app/user_number_format.h"

namespace orvane {

namespace {

// The window's size before the list is known, pixels.
constexpr int kInitialWidth = 520;
constexpr int kInitialHeight = 360;

QPushButton* MakeButton(QWidget* parent, const char* name,
                        std::string_view caption) {
  auto* button = MakeControl<QPushButton>(parent, name, ToQt(caption));
  button->setAccessibleName(button->text());
  button->setAutoDefault(false);
  return button;
}

}  // namespace

frmSelectSubfolders::frmSelectSubfolders(ShellServices services,
                                         QWidget* parent)
    : QDialog(parent), services_(services) {
  setObjectName("frmSelectSubfolders");
  setModal(true);
  setSizeGripEnabled(true);
  setWindowIcon(services_.launcher_window.windowIcon());

  picSubfolders = MakeControl<QFrame>(this, "picSubfolders");
  picSubfolders->setFrameShape(QFrame::StyledPanel);
  picSubfolders->installEventFilter(this);
  boxes_layout_ = new QVBoxLayout(picSubfolders);
  boxes_layout_->setContentsMargins(8, 6, 8, 6);
  boxes_layout_->setSpacing(2);
  reading_ = new QLabel(picSubfolders);
  reading_->setAccessibleName(tr("Reading disk"));
  boxes_layout_->addWidget(reading_);
  MakeCheckboxes(1);
  boxes_layout_->addStretch(1);

  vsbScrollBar = MakeControl<QScrollBar>(this, "vsbScrollBar", Qt::Vertical);
  vsbScrollBar->setAccessibleName(tr("Scroll through the subfolders"));
  lblNumSubfolders = MakeControl<QLabel>(this, "lblNumSubfolders");
  lblNumSubfolders->setTextInteractionFlags(Qt::TextSelectableByMouse);
  cmdSelectDeselectAllSubfolders[0] = MakeButton(
      this, "cmdSelectDeselectAllSubfolders[0]", kDeselectAllCaption);
  cmdSelectDeselectAllSubfolders[1] =
      MakeButton(this, "cmdSelectDeselectAllSubfolders[1]", kSelectAllCaption);
  cmdAccept = MakeButton(this, "cmdAccept", kAcceptCaption);
  cmdCancel = MakeButton(this, "cmdCancel", kCancelCaption);

  // The list with its scroll bar fills the window; below it the status
  // label, then the two selection buttons at the left and Accept and Cancel
  // at the right.
  auto* list = new QHBoxLayout;
  list->setSpacing(0);
  list->addWidget(picSubfolders, 1);
  list->addWidget(vsbScrollBar);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdSelectDeselectAllSubfolders[0]);
  buttons->addWidget(cmdSelectDeselectAllSubfolders[1]);
  buttons->addStretch(1);
  buttons->addWidget(cmdAccept);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->setSpacing(10);
  layout->addLayout(list, 1);
  layout->addWidget(lblNumSubfolders);
  layout->addLayout(buttons);

  connect(cmdAccept, &QPushButton::clicked, this,
          &frmSelectSubfolders::cmdAccept_Click);
  connect(cmdCancel, &QPushButton::clicked, this,
          &frmSelectSubfolders::cmdCancel_Click);
  for (int index = 0; index < 2; ++index) {
    connect(cmdSelectDeselectAllSubfolders[index], &QPushButton::clicked, this,
            [this, index] { cmdSelectDeselectAllSubfolders_Click(index); });
  }
  connect(vsbScrollBar, &QScrollBar::valueChanged, this,
          &frmSelectSubfolders::vsbScrollBar_Change);
  resize(kInitialWidth, kInitialHeight);
}

frmSelectSubfolders::~frmSelectSubfolders() = default;

void frmSelectSubfolders::MakeCheckboxes(int n) {
  for (int k = static_cast<int>(chkSubfolder.size()); k < n; ++k) {
    const std::string name = "chkSubfolder[" + std::to_string(k) + "]";
    auto* box = MakeControl<QCheckBox>(picSubfolders, name.c_str());
    // A long label is cut at the window's edge rather than widening it
    // past the screen; the window is made wide enough when it can be.
    box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    box->installEventFilter(this);
    connect(box, &QCheckBox::clicked, this,
            [this, k](bool ticked) { chkSubfolder_Click(k, ticked); });
    // Below the one before, above the stretch that ends the list.
    boxes_layout_->insertWidget(k + 1, box);
    if (k > 0) QWidget::setTabOrder(chkSubfolder.back(), box);
    chkSubfolder.push_back(box);
  }
}

void frmSelectSubfolders::RemoveRunTimeCheckboxes() {
  while (chkSubfolder.size() > 1) {
    delete chkSubfolder.back();
    chkSubfolder.pop_back();
  }
}

void frmSelectSubfolders::ApplyColours() {
  const SubfolderWindowColours colours = WindowColours(values_);
  OV_common::SetWindowColour(*this, colours.back);
  const QColor text = OV_common::ToQColor(colours.label_text);
  std::vector<QWidget*> labels = {reading_, lblNumSubfolders};
  labels.insert(labels.end(), chkSubfolder.begin(), chkSubfolder.end());
  for (QWidget* label : labels) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, text);
    label->setPalette(palette);
  }
}

void frmSelectSubfolders::ShowReading(std::string_view text) {
  reading_->setText(ToQt(text));
  reading_->repaint();
}

void frmSelectSubfolders::ShowModal() {
  values_.blnFolderSelectionAccepted = false;
  // The disk is read from inside the modal loop, so that the window is up
  // and Cancel answers while it reads.
  QTimer::singleShot(0, this, &frmSelectSubfolders::Activate);
  exec();
}

void frmSelectSubfolders::Activate() {
  selection_ =
      std::make_unique<SubfolderSelection>(values_, UserNumberFormat());
  RemoveRunTimeCheckboxes();
  chkSubfolder[0]->hide();
  lblNumSubfolders->clear();
  vsbScrollBar->hide();
  setWindowTitle(ToQt(values_.strCaption));
  ApplyColours();
  reading_->show();
  if (!isVisible()) show();

  // The window may go (Cancel, its close box) while the disk is read.
  SubfolderSelection* selection = selection_.get();
  const SubfolderSelection::Reading reading =
      selection->ReadDisk(services_.prompter, services_.yield,
                          [this](std::string_view text) { ShowReading(text); });
  if (reading == SubfolderSelection::Reading::kTopFolderUnreadable) {
    Finish(false);
    return;
  }
  if (reading != SubfolderSelection::Reading::kListed) return;

  reading_->hide();
  const int n = selection->intNumVisible();
  MakeCheckboxes(std::max(1, n));
  ApplyColours();
  const SubfolderScrollBar bar = selection->ScrollBar();
  vsbScrollBar->blockSignals(true);
  vsbScrollBar->setRange(0, bar.maximum);
  vsbScrollBar->setSingleStep(bar.single_step);
  vsbScrollBar->setPageStep(bar.page_step);
  vsbScrollBar->setValue(0);
  vsbScrollBar->blockSignals(false);
  vsbScrollBar->setVisible(bar.visible);
  MirrorCheckboxes();
  UpdateStatus();
  FitToList();
  cmdCancel->setFocus();
}

void frmSelectSubfolders::MirrorCheckboxes() {
  const int n = selection_->intNumVisible();
  for (int k = 0; k < static_cast<int>(chkSubfolder.size()); ++k) {
    QCheckBox* box = chkSubfolder[static_cast<std::size_t>(k)];
    if (k >= n) {
      box->hide();
      continue;
    }
    const SubfolderEntry& entry = selection_->VisibleEntry(k);
    box->setText(ToQt(entry.label));
    box->setAccessibleName(box->text());
    box->setToolTip(box->text());
    box->setChecked(entry.checked);
    box->show();
  }
}

void frmSelectSubfolders::UpdateStatus() {
  lblNumSubfolders->setText(ToQt(selection_->StatusText()));
}

void frmSelectSubfolders::FitToList() {
  int widest = 0;
  if (!chkSubfolder.empty()) {
    const QFontMetrics metrics(chkSubfolder[0]->font());
    for (const SubfolderEntry& entry : selection_->entries()) {
      widest = std::max(widest, metrics.horizontalAdvance(ToQt(entry.label)));
    }
  }
  // The box and its gap before the text, the frame's margins and the
  // scroll bar.
  int wanted = widest + 40 + 16 + vsbScrollBar->sizeHint().width() + 24;
  wanted = std::max(wanted, minimumSizeHint().width());
  if (const QScreen* screen = this->screen()) {
    wanted = std::min(wanted, screen->availableGeometry().width() * 9 / 10);
  }
  layout()->activate();
  resize(std::max(width(), wanted), sizeHint().height());
}

void frmSelectSubfolders::Finish(bool accepted) {
  RemoveRunTimeCheckboxes();
  done(accepted ? QDialog::Accepted : QDialog::Rejected);
}

void frmSelectSubfolders::cmdAccept_Click() {
  if (selection_ == nullptr || !selection_->Accept()) return;
  Finish(true);
}

void frmSelectSubfolders::cmdCancel_Click() {
  if (selection_ != nullptr) selection_->Cancel();
  values_.blnFolderSelectionAccepted = false;
  Finish(false);
}

void frmSelectSubfolders::reject() { cmdCancel_Click(); }

void frmSelectSubfolders::closeEvent(QCloseEvent* event) {
  if (isVisible()) {
    services_.prompter.ShowMessage(MessageIcon::kInformation, kCloseBoxTitle,
                                   kCloseBoxText);
  }
  if (selection_ != nullptr) selection_->Cancel();
  values_.blnFolderSelectionAccepted = false;
  RemoveRunTimeCheckboxes();
  setResult(QDialog::Rejected);
  event->accept();
  // Leaves the modal loop of ShowModal as Cancel does.
  done(QDialog::Rejected);
}

void frmSelectSubfolders::cmdSelectDeselectAllSubfolders_Click(int index) {
  if (selection_ == nullptr || !selection_->SelectDeselectAll(index == 1)) {
    return;
  }
  MirrorCheckboxes();
  UpdateStatus();
  cmdAccept->setFocus();
}

void frmSelectSubfolders::chkSubfolder_Click(int k, bool ticked) {
  QCheckBox* box = chkSubfolder[static_cast<std::size_t>(k)];
  if (selection_ == nullptr || selection_->activating()) {
    box->setChecked(false);
    return;
  }
  box->setChecked(selection_->CheckboxClicked(k, ticked));
  UpdateStatus();
}

void frmSelectSubfolders::vsbScrollBar_Change(int value) {
  if (selection_ == nullptr || !selection_->Scrolled(value)) return;
  MirrorCheckboxes();
  cmdAccept->setFocus();
}

bool frmSelectSubfolders::MoveThroughList(int k, int key) {
  const int n = static_cast<int>(chkSubfolder.size());
  int step = 0;
  switch (key) {
    case Qt::Key_Down:
      step = 1;
      break;
    case Qt::Key_Up:
      step = -1;
      break;
    case Qt::Key_PageDown:
      step = vsbScrollBar->pageStep();
      break;
    case Qt::Key_PageUp:
      step = -vsbScrollBar->pageStep();
      break;
    default:
      return false;
  }
  // Within the boxes the focus moves; past the first or last box the list
  // scrolls under the boxes and the focus stays.
  int target = k + step;
  const int visible = selection_ == nullptr ? 0 : selection_->intNumVisible();
  if (target < 0 || target >= visible) {
    vsbScrollBar->setValue(vsbScrollBar->value() +
                           (target < 0 ? target : target - (visible - 1)));
    target = std::clamp(target, 0, std::max(0, visible - 1));
  }
  if (target < n) chkSubfolder[static_cast<std::size_t>(target)]->setFocus();
  return true;
}

bool frmSelectSubfolders::eventFilter(QObject* watched, QEvent* event) {
  // The wheel over the list moves the scroll bar, as over a list box.
  if (event->type() == QEvent::Wheel && vsbScrollBar->isVisible()) {
    QApplication::sendEvent(vsbScrollBar, event);
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    const auto box = std::find(chkSubfolder.begin(), chkSubfolder.end(),
                               qobject_cast<QCheckBox*>(watched));
    if (box != chkSubfolder.end() &&
        MoveThroughList(static_cast<int>(box - chkSubfolder.begin()),
                        static_cast<QKeyEvent*>(event)->key())) {
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace orvane
