// The view state of the Search Module window: the widgets by their fixed
// names, as every window has them, with two savings for a long search. The
// results box takes each new entry as an append (not the whole text again),
// and repaints are at most one per interval: 500 found files cost the
// window a few milliseconds, and the window still shows the progress.
#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPointer>
#include <string_view>

#include "app/qt_ports.h"

namespace orvane {

class SearchWindowView : public QtViewState {
 public:
  SearchWindowView(QWidget& window, QPlainTextEdit& results,
                   int repaint_interval_ms = 40);

  void SetText(std::string_view control, std::string_view text) override;
  void AppendText(std::string_view control, std::string_view appended,
                  std::string_view whole) override;
  void Repaint() override;

 private:
  QPointer<QWidget> window_;
  QPointer<QPlainTextEdit> results_;
  int repaint_interval_ms_;
  QElapsedTimer since_repaint_;
  // The last piece appended ended in CR: an LF that starts the next piece
  // completes that line break.
  bool ended_in_cr_ = false;
};

}  // namespace orvane
