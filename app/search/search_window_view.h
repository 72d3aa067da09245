// The view state of the Search Module window: the widgets by their fixed
// names, as every window has them, with two savings for a long search. The
// entries appended to the results box are gathered and handed to the box
// in one piece at each repaint (not the whole text again, nor one layout
// per entry). And a repaint asked for by the engine paints at once only
// when the handler has already run a while, and then at most once per
// interval; before that the window is only marked for painting, which the
// next pass of the event loop does. A search that ends within a frame or
// two is painted once, at its end; a long one still shows its progress.
#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPointer>
#include <string>
#include <string_view>

#include "app/qt_ports.h"

namespace orvane {

class SearchWindowView : public QtViewState {
 public:
  SearchWindowView(QWidget& window, QPlainTextEdit& results);

  void SetText(std::string_view control, std::string_view text) override;
  void AppendText(std::string_view control, std::string_view appended,
                  std::string_view whole) override;
  void Repaint() override;
  // Hands the gathered entries to the results box. The window calls it
  // when a handler has returned, before anyone reads the box.
  void Flush();
  // A handler starts: its first repaints only mark the window.
  void BeginHandler() { since_handler_.restart(); }

 private:
  QPointer<QWidget> window_;
  QPointer<QPlainTextEdit> results_;
  QElapsedTimer since_handler_;
  QElapsedTimer since_repaint_;
  // The last piece appended ended in CR: an LF that starts the next piece
  // completes that line break.
  bool ended_in_cr_ = false;
  std::string pending_;  // display text not yet in the results box
};

}  // namespace orvane
