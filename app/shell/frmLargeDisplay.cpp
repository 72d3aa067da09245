#include "app/shell/frmLargeDisplay.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>
#include <new>

#include "app/qt_text.h"
#include "app/shell/controls.h"
#include "engine/common/program_texts.h"
#include "engine/shell/twips.h"

namespace orvane {

namespace {

constexpr const char* kPauseCaption = "Pause";
constexpr const char* kContinueCaption = "Continue";
constexpr const char* kCopyCaption = "Copy to clipboard";
constexpr const char* kCloseCaption = "Close";

// Button widths, twips.
constexpr std::int32_t kPauseButtonWidth = 2000;
constexpr std::int32_t kCopyAllButtonWidth = 2500;
constexpr std::int32_t kCopySelectionButtonWidth = 3500;

// The smallest window, twips.
constexpr std::int32_t kMinimumWidth = 6000;
constexpr std::int32_t kMinimumHeight = 3000;

// The window's size after loading, twips.
constexpr std::int32_t kLoadedWidth = 10500;
constexpr std::int32_t kLoadedHeight = 7500;

// Fonts differ from platform to platform: a width is never narrower than the
// caption needs.
void SetButtonWidth(QPushButton& button, std::int32_t twips) {
  button.setFixedWidth(
      std::max(TwipsToPixels(twips), button.sizeHint().width()));
}

}  // namespace

frmLargeDisplay::frmLargeDisplay() {
  setObjectName("frmLargeDisplay");
  setMinimumSize(TwipsToPixels(kMinimumWidth), TwipsToPixels(kMinimumHeight));

  txbOutput = MakeControl<QPlainTextEdit>(this, "txbOutput");
  txbOutput->setLineWrapMode(QPlainTextEdit::NoWrap);
  txbOutput->installEventFilter(this);
  txbOutput->viewport()->installEventFilter(this);

  cmdCopyToClipboard = MakeControl<QPushButton>(this, "cmdCopyToClipboard");
  cmdClose = MakeControl<QPushButton>(this, "cmdClose");

  // The text box fills the window; the two buttons stand below it, the copy
  // button at the left, the close button at the right edge.
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdCopyToClipboard);
  buttons->addStretch(1);
  buttons->addWidget(cmdClose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 14);
  layout->setSpacing(14);
  layout->addWidget(txbOutput, 1);
  layout->addLayout(buttons);

  connect(cmdCopyToClipboard, &QPushButton::clicked, this,
          &frmLargeDisplay::cmdCopyToClipboard_Click);
  connect(cmdClose, &QPushButton::clicked, this,
          &frmLargeDisplay::cmdClose_Click);
  Form_Load();
}

void frmLargeDisplay::Form_Load() {
  text_ = LargeDisplayText();
  txbOutput->clear();
  txbOutput->setReadOnly(false);
  ended_in_cr_ = false;
  paused_ = false;
  blnActivated = false;
  cmdCopyToClipboard->setText(kCopyCaption);
  SetButtonWidth(*cmdCopyToClipboard, kPauseButtonWidth);
  cmdClose->setText(kCloseCaption);
  setWindowTitle(QString());
  resize(TwipsToPixels(kLoadedWidth), TwipsToPixels(kLoadedHeight));
}

void frmLargeDisplay::SetCaption(std::string_view caption) {
  setWindowTitle(ToQt(caption));
}

void frmLargeDisplay::SetBufferFullMessage(std::string_view message) {
  text_.set_buffer_full_message(std::string(message));
}

void frmLargeDisplay::SetCopyButtonCaption(std::string_view caption) {
  cmdCopyToClipboard->setText(ToQt(caption));
}

void frmLargeDisplay::SetReadOnly(bool read_only) {
  txbOutput->setReadOnly(read_only);
}

void frmLargeDisplay::Show() {
  show();
  raise();
}

void frmLargeDisplay::Hide() { hide(); }

void frmLargeDisplay::Mirror(const LargeDisplayText::Change& change) {
  RemoveNote();
  if (change.replaced) {
    txbOutput->setPlainText(ToQt(text_.text()));
    ended_in_cr_ = !text_.text().empty() && text_.text().back() == '\r';
    return;
  }
  if (change.appended.empty()) return;
  std::string_view piece = change.appended;
  if (ended_in_cr_ && piece.front() == '\n') piece.remove_prefix(1);
  ended_in_cr_ = change.appended.back() == '\r';
  QTextCursor end(txbOutput->document());
  end.movePosition(QTextCursor::End);
  end.insertText(ToQt(piece));
}

void frmLargeDisplay::MoveCaretToEnd() {
  txbOutput->moveCursor(QTextCursor::End);
  txbOutput->ensureCursorVisible();
  txbOutput->update();
}

void frmLargeDisplay::Output(std::string_view strText, std::int16_t intNumCRLFs,
                             bool blnToEnd) {
  try {
    LargeDisplayText::Change change = text_.Output(strText, intNumCRLFs);
    Mirror(change);
    if (change.replaced || blnToEnd) MoveCaretToEnd();
  } catch (const std::bad_alloc&) {
    // The text box could not take the text: the next call ends the text
    // with the buffer-full message.
    text_.MarkAppendRefused();
  }
}

void frmLargeDisplay::DisplayArray(const std::vector<std::string>& strArray,
                                   std::int32_t lngStart, std::int32_t lngEnd,
                                   std::string_view strSuccessMessage,
                                   bool blnSeparateFolders) {
  try {
    Mirror(text_.DisplayArray(strArray, lngStart, lngEnd, strSuccessMessage,
                              blnSeparateFolders));
    MoveCaretToEnd();
  } catch (const std::bad_alloc&) {
    text_.MarkAppendRefused();
  }
}

void frmLargeDisplay::Clear() {
  text_.Clear();
  txbOutput->clear();
  ended_in_cr_ = false;
  note_start_ = -1;
  update();
}

void frmLargeDisplay::ShowBeginning() {
  txbOutput->moveCursor(QTextCursor::Start);
  txbOutput->ensureCursorVisible();
  txbOutput->update();
}

void frmLargeDisplay::ShowEnd() { MoveCaretToEnd(); }

void frmLargeDisplay::ShowNote(std::string_view note) {
  RemoveNote();
  QTextCursor end(txbOutput->document());
  end.movePosition(QTextCursor::End);
  note_start_ = end.position();
  end.insertText(ToQt(note));
  txbOutput->repaint();
}

void frmLargeDisplay::RemoveNote() {
  if (note_start_ < 0) return;
  QTextCursor note(txbOutput->document());
  note.setPosition(note_start_);
  note.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  note.removeSelectedText();
  note_start_ = -1;
}

void frmLargeDisplay::SetCopyToClipboardButton() {
  const QString caption = cmdCopyToClipboard->text();
  const std::string paused = GetProgramText(428);
  const std::string running = GetProgramText(429);
  const bool pausing = caption == kPauseCaption ||
                       caption == kContinueCaption ||
                       (!paused.empty() && caption == ToQt(paused)) ||
                       (!running.empty() && caption == ToQt(running));
  if (pausing) {
    SetButtonWidth(*cmdCopyToClipboard, kPauseButtonWidth);
    return;
  }
  if (!txbOutput->textCursor().hasSelection()) {
    cmdCopyToClipboard->setText(ToQt(GetProgramText(185)));
    SetButtonWidth(*cmdCopyToClipboard, kCopyAllButtonWidth);
  } else {
    cmdCopyToClipboard->setText(ToQt(GetProgramText(424)));
    SetButtonWidth(*cmdCopyToClipboard, kCopySelectionButtonWidth);
  }
}

void frmLargeDisplay::CopyToClipboard() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  QTextCursor cursor = txbOutput->textCursor();
  QString copied = txbOutput->toPlainText();
  if (cursor.hasSelection()) {
    copied = cursor.selectedText();
    copied.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  }
  clipboard->setText(copied);
  cursor.clearSelection();
  txbOutput->setTextCursor(cursor);
  SetCopyToClipboardButton();
}

void frmLargeDisplay::cmdCopyToClipboard_Click() {
  const QString caption = cmdCopyToClipboard->text();
  if (caption == kPauseCaption) {
    cmdCopyToClipboard->setText(kContinueCaption);
    paused_ = true;
    SetCopyToClipboardButton();
    // The caller's loop is suspended in here: it goes on when Continue is
    // clicked or the window is hidden. Waiting for events, not polling,
    // keeps a paused listing from using the processor.
    while (paused_ && isVisible()) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    paused_ = false;
    return;
  }
  if (caption == kContinueCaption) {
    cmdCopyToClipboard->setText(kPauseCaption);
    paused_ = false;
    SetCopyToClipboardButton();
    return;
  }
  CopyToClipboard();
}

void frmLargeDisplay::cmdClose_Click() {
  setWindowState(Qt::WindowNoState);
  hide();
}

bool frmLargeDisplay::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txbOutput && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        txbOutput->textCursor().hasSelection()) {
      cmdCopyToClipboard_Click();
      return true;
    }
  }
  if (watched == txbOutput->viewport() &&
      event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    // Let the text box finish the selection first, then follow it.
    txbOutput->viewport()->removeEventFilter(this);
    QCoreApplication::sendEvent(watched, event);
    txbOutput->viewport()->installEventFilter(this);
    SetCopyToClipboardButton();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void frmLargeDisplay::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
    setWindowState(Qt::WindowNoState);
  }
  cmdClose->setText(kCloseCaption);
  SetCopyToClipboardButton();
  SetButtonWidth(*cmdCopyToClipboard, kPauseButtonWidth);
  blnActivated = true;
}

void frmLargeDisplay::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (windowState() & Qt::WindowMinimized) return;
  cmdClose->setText(ToQt(GetProgramText(184)));
}

void frmLargeDisplay::closeEvent(QCloseEvent* event) {
  setWindowState(Qt::WindowNoState);
  event->accept();
  Form_Load();
}

void frmLargeDisplay::SetGeometryTwips(std::int32_t top, std::int32_t left,
                                       std::int32_t width,
                                       std::int32_t height) {
  move(TwipsToPixels(left), TwipsToPixels(top));
  resize(TwipsToPixels(width), TwipsToPixels(height));
}

}  // namespace orvane
