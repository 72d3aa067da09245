// A window's view state for long runs: the progress labels and the progress
// bar change after every file, but a person reads them a few times a
// second. Their latest values are kept and painted at most once per
// interval; every other change (a caption, an enabled state, the focus)
// first paints what is pending, so the order of what the user sees stays
// that of the run.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "app/qt_ports.h"

namespace orvane {

class ThrottledViewState : public ViewState {
 public:
  // progress_controls: the labels and bars whose changes may wait.
  ThrottledViewState(QWidget& window, std::set<std::string, std::less<>> progress_controls,
                     int interval_ms = 100);

  void SetText(std::string_view control, std::string_view text) override;
  void SetEnabled(std::string_view control, bool enabled) override;
  void SetVisible(std::string_view control, bool visible) override;
  void SetFocus(std::string_view control) override;
  void SetProgress(std::string_view control, std::int32_t done,
                   std::int32_t total) override;
  void Repaint() override;

  // Paints every pending change now.
  void Flush();

 private:
  struct Progress {
    std::int32_t done;
    std::int32_t total;
  };
  bool Waits(std::string_view control) const;
  void FlushWhenDue();

  QtViewState view_;
  std::set<std::string, std::less<>> progress_controls_;
  int interval_ms_;
  QElapsedTimer since_flush_;
  // Paints what is pending when the run stops changing it for a while.
  QTimer late_flush_;
  std::map<std::string, std::string, std::less<>> texts_;
  std::map<std::string, Progress, std::less<>> progress_;
};

}  // namespace orvane
