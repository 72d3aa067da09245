#include "app/search/search_window_view.h"

#include <QScrollBar>
#include <QTextCursor>

#include "app/qt_text.h"

namespace orvane {

namespace {

constexpr std::string_view kResults = "txbFiles";
// A handler this young is not painted at once; painted ones wait this long
// for the next.
constexpr int kGraceMs = 50;
constexpr int kRepaintIntervalMs = 100;

}  // namespace

SearchWindowView::SearchWindowView(QWidget& window, QPlainTextEdit& results)
    : QtViewState(window), window_(&window), results_(&results) {
  since_handler_.start();
}

void SearchWindowView::SetText(std::string_view control,
                               std::string_view text) {
  if (control == kResults) {
    pending_.clear();
    ended_in_cr_ = !text.empty() && text.back() == '\r';
  }
  QtViewState::SetText(control, text);
}

void SearchWindowView::AppendText(std::string_view control,
                                  std::string_view appended,
                                  std::string_view whole) {
  if (control != kResults || results_ == nullptr) {
    QtViewState::AppendText(control, appended, whole);
    return;
  }
  pending_.append(appended);
}

void SearchWindowView::Flush() {
  if (pending_.empty() || results_ == nullptr) return;
  std::string_view piece = pending_;
  if (ended_in_cr_ && piece.front() == '\n') piece.remove_prefix(1);
  if (!piece.empty()) {
    ended_in_cr_ = piece.back() == '\r';
    if (results_->document()->isEmpty()) {
      results_->setPlainText(ToQt(piece));
    } else {
      QTextCursor cursor(results_->document());
      cursor.movePosition(QTextCursor::End);
      cursor.insertText(ToQt(piece));
    }
  }
  pending_.clear();
}

void SearchWindowView::Repaint() {
  if (window_ == nullptr) return;
  if (since_handler_.elapsed() < kGraceMs ||
      (since_repaint_.isValid() &&
       since_repaint_.elapsed() < kRepaintIntervalMs)) {
    window_->update();
    return;
  }
  since_repaint_.restart();
  Flush();
  window_->repaint();
}

}  // namespace orvane
