#include "app/throttled_view_state.h"

#include <utility>

namespace orvane {

ThrottledViewState::ThrottledViewState(
    QWidget& window, std::set<std::string, std::less<>> progress_controls,
    int interval_ms)
    : view_(window),
      progress_controls_(std::move(progress_controls)),
      interval_ms_(interval_ms) {
  late_flush_.setSingleShot(true);
  late_flush_.setInterval(interval_ms_);
  QObject::connect(&late_flush_, &QTimer::timeout, [this] { Flush(); });
}

bool ThrottledViewState::Waits(std::string_view control) const {
  return progress_controls_.find(control) != progress_controls_.end();
}

void ThrottledViewState::SetText(std::string_view control,
                                 std::string_view text) {
  if (Waits(control)) {
    texts_.insert_or_assign(std::string(control), std::string(text));
    FlushWhenDue();
    return;
  }
  Flush();
  view_.SetText(control, text);
}

void ThrottledViewState::SetEnabled(std::string_view control, bool enabled) {
  Flush();
  view_.SetEnabled(control, enabled);
}

void ThrottledViewState::SetVisible(std::string_view control, bool visible) {
  Flush();
  view_.SetVisible(control, visible);
}

void ThrottledViewState::SetFocus(std::string_view control) {
  Flush();
  view_.SetFocus(control);
}

void ThrottledViewState::SetProgress(std::string_view control,
                                     std::int32_t done, std::int32_t total) {
  progress_.insert_or_assign(std::string(control), Progress{done, total});
  FlushWhenDue();
}

void ThrottledViewState::Repaint() { FlushWhenDue(); }

void ThrottledViewState::FlushWhenDue() {
  if (!since_flush_.isValid() || since_flush_.elapsed() >= interval_ms_) {
    Flush();
    view_.Repaint();
  } else if (!late_flush_.isActive()) {
    late_flush_.start();
  }
}

void ThrottledViewState::Flush() {
  late_flush_.stop();
  since_flush_.restart();
  for (const auto& [control, text] : texts_) view_.SetText(control, text);
  for (const auto& [control, progress] : progress_) {
    view_.SetProgress(control, progress.done, progress.total);
  }
  texts_.clear();
  progress_.clear();
}

}  // namespace orvane
