#include "app/shell/frmLargeDisplay.h"

#include <QAbstractListModel>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
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

// Room either side of a line's text, pixels.
constexpr int kLineMargin = 8;

// New lines are shown at once up to this many lines; a longer text shows
// them at most every kShowInterval, since every showing costs time in
// proportion to the lines shown.
constexpr int kShownAtOnce = 20000;
constexpr int kShowInterval = 100;  // milliseconds

}  // namespace

// The lines of the text as the rows of txbOutput. The model publishes the
// rows the text has gained when the window says so, as a list view needs
// (rows are announced before the view may ask for them); the note stands
// at the end of the last row.
class LargeDisplayLines : public QAbstractListModel {
 public:
  explicit LargeDisplayLines(const LargeDisplayText& text) : text_(text) {}

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : rows_;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || index.row() >= rows_) return QVariant();
    const auto row = static_cast<std::size_t>(index.row());
    QString line = row < text_.line_count() ? ToQt(text_.line(row)) : QString();
    if (index.row() == rows_ - 1) line += note_;
    return line;
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                           : Qt::NoItemFlags;
  }

  // The rows the text and the note make now: none for an empty text
  // without a note.
  int Wanted() const {
    if (text_.empty() && note_.isEmpty()) return 0;
    return static_cast<int>(std::min<std::size_t>(text_.line_count(), INT_MAX));
  }

  // Brings the rows in line with the text: the last row shown may have
  // grown, and new lines become new rows.
  void Publish() {
    const int wanted = Wanted();
    if (rows_ > 0 && wanted >= rows_) {
      const QModelIndex last = index(rows_ - 1, 0);
      emit dataChanged(last, last);
    }
    if (wanted > rows_) {
      beginInsertRows(QModelIndex(), rows_, wanted - 1);
      rows_ = wanted;
      endInsertRows();
    } else if (wanted < rows_) {
      beginRemoveRows(QModelIndex(), wanted, rows_ - 1);
      rows_ = wanted;
      endRemoveRows();
    }
  }

  // The text was emptied.
  void Reset() {
    beginResetModel();
    rows_ = 0;
    note_.clear();
    endResetModel();
  }

  void SetNote(const QString& note) {
    note_ = note;
    Publish();
  }
  bool has_note() const { return !note_.isEmpty(); }

 private:
  const LargeDisplayText& text_;
  int rows_ = 0;
  QString note_;
};

frmLargeDisplay::frmLargeDisplay()
    : lines_(std::make_unique<LargeDisplayLines>(text_)) {
  setObjectName("frmLargeDisplay");
  setMinimumSize(TwipsToPixels(kMinimumWidth), TwipsToPixels(kMinimumHeight));

  txbOutput = MakeControl<QTableView>(this, "txbOutput");
  txbOutput->setModel(lines_.get());
  // One column, every line as high as the others: nothing is measured line
  // by line, and a text of millions of lines opens at once.
  txbOutput->horizontalHeader()->hide();
  txbOutput->verticalHeader()->hide();
  txbOutput->setShowGrid(false);
  txbOutput->setCornerButtonEnabled(false);
  txbOutput->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  txbOutput->verticalHeader()->setMinimumSectionSize(1);
  txbOutput->verticalHeader()->setDefaultSectionSize(
      txbOutput->fontMetrics().lineSpacing() + 2);
  txbOutput->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  txbOutput->setTextElideMode(Qt::ElideNone);
  txbOutput->setWordWrap(false);
  txbOutput->setSelectionBehavior(QAbstractItemView::SelectRows);
  txbOutput->setSelectionMode(QAbstractItemView::ExtendedSelection);
  txbOutput->setEditTriggers(QAbstractItemView::NoEditTriggers);
  txbOutput->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Tab leaves the text for the buttons, as it leaves a text box.
  txbOutput->setTabKeyNavigation(false);
  show_pending_.setSingleShot(true);
  connect(&show_pending_, &QTimer::timeout, this,
          &frmLargeDisplay::ShowPendingLines);
  txbOutput->installEventFilter(this);
  txbOutput->viewport()->installEventFilter(this);
  connect(txbOutput->selectionModel(), &QItemSelectionModel::selectionChanged,
          this, [this] { SetCopyToClipboardButton(); });

  cmdCopyToClipboard = MakeControl<QPushButton>(this, "cmdCopyToClipboard");
  cmdClose = MakeControl<QPushButton>(this, "cmdClose");

  // The text fills the window; the two buttons stand below it, the copy
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
  // Escape closes the window as cmdClose does.
  auto* escape = new QShortcut(QKeySequence::Cancel, this);
  escape->setObjectName("Escape");
  connect(escape, &QShortcut::activated, this,
          &frmLargeDisplay::cmdClose_Click);
  Form_Load();
}

frmLargeDisplay::~frmLargeDisplay() = default;

void frmLargeDisplay::Form_Load() {
  text_ = LargeDisplayText();
  show_pending_.stop();
  lines_->Reset();
  line_width_ = 0;
  FitLineWidth();
  paused_ = false;
  blnActivated = false;
  cmdCopyToClipboard->setText(kCopyCaption);
  SetButtonWidth(*cmdCopyToClipboard, kPauseButtonWidth);
  cmdClose->setText(kCloseCaption);
  setWindowTitle(QString());
  txbOutput->setAccessibleName(QString());
  resize(TwipsToPixels(kLoadedWidth), TwipsToPixels(kLoadedHeight));
}

void frmLargeDisplay::SetCaption(std::string_view caption) {
  setWindowTitle(ToQt(caption));
  // A screen reader names the text after what the window shows.
  txbOutput->setAccessibleName(ToQt(caption));
}

void frmLargeDisplay::SetBufferFullMessage(std::string_view message) {
  text_.set_buffer_full_message(std::string(message));
}

void frmLargeDisplay::SetCopyButtonCaption(std::string_view caption) {
  cmdCopyToClipboard->setText(ToQt(caption));
}

void frmLargeDisplay::Show() {
  show();
  raise();
}

void frmLargeDisplay::Hide() { hide(); }

void frmLargeDisplay::Publish() {
  if (text_.line_count() <= static_cast<std::size_t>(kShownAtOnce) ||
      !since_shown_.isValid() || since_shown_.elapsed() >= kShowInterval) {
    ShowPendingLines();
  } else if (!show_pending_.isActive()) {
    show_pending_.start(std::max<int>(
        0, kShowInterval - static_cast<int>(since_shown_.elapsed())));
  }
}

void frmLargeDisplay::ShowPendingLines() {
  show_pending_.stop();
  lines_->Publish();
  FitLineWidth();
  since_shown_.restart();
}

void frmLargeDisplay::FitLineWidth() {
  int width = 0;
  if (text_.line_count() > 0) {
    const QString longest = ToQt(text_.line(text_.longest_line()));
    width = txbOutput->fontMetrics().horizontalAdvance(longest);
  }
  width = std::max(width + 2 * kLineMargin, txbOutput->viewport()->width());
  if (width == line_width_) return;
  line_width_ = width;
  txbOutput->horizontalHeader()->resizeSection(0, width);
}

void frmLargeDisplay::MoveCaretToEnd() {
  ShowPendingLines();
  const int rows = lines_->rowCount(QModelIndex());
  if (rows > 0) {
    txbOutput->selectionModel()->setCurrentIndex(lines_->index(rows - 1),
                                                 QItemSelectionModel::NoUpdate);
  }
  txbOutput->scrollToBottom();
}

void frmLargeDisplay::Output(std::string_view strText, std::int16_t intNumCRLFs,
                             bool blnToEnd) {
  RemoveNote();
  const bool full_before = text_.report_buffer_full();
  try {
    text_.Output(strText, intNumCRLFs);
    Publish();
  } catch (const std::bad_alloc&) {
    // The window could not take the lines: the next call ends the text
    // with the buffer-full message.
    text_.MarkAppendRefused();
  }
  // The message that ends a text stands in view.
  if (blnToEnd || (full_before && text_.report_buffer_full())) MoveCaretToEnd();
}

void frmLargeDisplay::DisplayArray(const std::vector<std::string>& strArray,
                                   std::int32_t lngStart, std::int32_t lngEnd,
                                   std::string_view strSuccessMessage,
                                   bool blnSeparateFolders) {
  RemoveNote();
  try {
    text_.DisplayArray(strArray, lngStart, lngEnd, strSuccessMessage,
                       blnSeparateFolders);
    Publish();
  } catch (const std::bad_alloc&) {
    text_.MarkAppendRefused();
  }
  MoveCaretToEnd();
}

void frmLargeDisplay::Clear() {
  text_.Clear();
  show_pending_.stop();
  lines_->Reset();
  FitLineWidth();
  update();
}

void frmLargeDisplay::ShowBeginning() {
  ShowPendingLines();
  if (lines_->rowCount(QModelIndex()) > 0) {
    txbOutput->selectionModel()->setCurrentIndex(lines_->index(0),
                                                 QItemSelectionModel::NoUpdate);
  }
  txbOutput->scrollToTop();
  txbOutput->horizontalScrollBar()->setValue(0);
}

void frmLargeDisplay::ShowEnd() { MoveCaretToEnd(); }

void frmLargeDisplay::ShowNote(std::string_view note) {
  ShowPendingLines();
  lines_->SetNote(ToQt(note));
  FitLineWidth();
  txbOutput->repaint();
}

void frmLargeDisplay::RemoveNote() {
  if (lines_->has_note()) lines_->SetNote(QString());
}

bool frmLargeDisplay::HasSelection() const {
  return txbOutput->selectionModel()->hasSelection();
}

QString frmLargeDisplay::SelectedLines() const {
  // The selection as ranges of rows, in the order of the text: a selection
  // of millions of lines is a few ranges, not millions of indexes.
  std::vector<std::pair<int, int>> ranges;
  for (const QItemSelectionRange& range :
       txbOutput->selectionModel()->selection()) {
    ranges.emplace_back(range.top(), range.bottom());
  }
  std::sort(ranges.begin(), ranges.end());
  QString copied;
  int next = 0;  // rows before it are taken
  bool first = true;
  for (const auto& [top, bottom] : ranges) {
    for (int row = std::max(top, next); row <= bottom; ++row) {
      if (!first) copied += QLatin1Char('\n');
      first = false;
      copied += lines_->data(lines_->index(row), Qt::DisplayRole).toString();
    }
    next = std::max(next, bottom + 1);
  }
  return copied;
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
  if (!HasSelection()) {
    cmdCopyToClipboard->setText(ToQt(GetProgramText(185)));
    SetButtonWidth(*cmdCopyToClipboard, kCopyAllButtonWidth);
  } else {
    cmdCopyToClipboard->setText(ToQt(GetProgramText(424)));
    SetButtonWidth(*cmdCopyToClipboard, kCopySelectionButtonWidth);
  }
}

void frmLargeDisplay::CopyToClipboard() {
  ShowPendingLines();
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setText(HasSelection() ? SelectedLines() : ToQt(text_.text()));
  txbOutput->clearSelection();
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
  if (watched == txbOutput->viewport() && event->type() == QEvent::Resize) {
    // A line is never narrower than the view, so that its selection spans it.
    QTimer::singleShot(0, this, [this] { FitLineWidth(); });
  }
  if (watched == txbOutput && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    // Enter in a selection does what the copy button does; Ctrl+C copies
    // the selected lines whole, not only the current one.
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        HasSelection()) {
      cmdCopyToClipboard_Click();
      return true;
    }
    if (key->matches(QKeySequence::Copy)) {
      if (HasSelection()) CopyToClipboard();
      return true;
    }
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
