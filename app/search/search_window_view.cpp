#include "app/search/search_window_view.h"

#include <QScrollBar>
#include <QTextCursor>

#include "app/qt_text.h"

namespace orvane {

namespace {

constexpr std::string_view kResults = "txbFiles";

}  // namespace

SearchWindowView::SearchWindowView(QWidget& window, QPlainTextEdit& results,
                                   int repaint_interval_ms)
    : QtViewState(window),
      window_(&window),
      results_(&results),
      repaint_interval_ms_(repaint_interval_ms) {}

void SearchWindowView::SetText(std::string_view control,
                               std::string_view text) {
  if (control == kResults) ended_in_cr_ = !text.empty() && text.back() == '\r';
  QtViewState::SetText(control, text);
}

void SearchWindowView::AppendText(std::string_view control,
                                  std::string_view appended,
                                  std::string_view whole) {
  if (control != kResults || results_ == nullptr) {
    QtViewState::AppendText(control, appended, whole);
    return;
  }
  if (appended.empty()) return;
  if (ended_in_cr_ && appended.front() == '\n') appended.remove_prefix(1);
  ended_in_cr_ = appended.empty() ? ended_in_cr_ : appended.back() == '\r';
  QTextCursor cursor(results_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(ToQt(appended));
}

void SearchWindowView::Repaint() {
  if (since_repaint_.isValid() &&
      since_repaint_.elapsed() < repaint_interval_ms_) {
    return;
  }
  since_repaint_.restart();
  if (window_ != nullptr) window_->repaint();
}

}  // namespace orvane
