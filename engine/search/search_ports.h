// The ports through which the Search Module's engine talks to its window and
// the user, bundled once per window: message boxes, the window's controls,
// letting the window system run, opening the HTML report, the large display
// window, the launcher's quit flag, and the files found as progress events.
#pragma once

#include <string>
#include <string_view>

#include "engine/common/launcher_state.h"
#include "engine/common/ports.h"
#include "engine/common/run_progress.h"
#include "engine/text/number_text.h"

namespace orvane {

struct SearchPorts {
  Prompter& prompter;
  ViewState& view;
  Yield& yield;
  Opener& opener;
  LargeDisplay& display;
  LauncherState& launcher;
  // Separators of the numbers shown with grouping.
  NumberFormat number_format = {};
  // The files found as events, beside the results box.
  RunProgress& progress = NoRunProgress();
};

// The results box txbFiles. The engine keeps its text and hands the whole
// text to the view state after every change; the new text usually extends
// the old one, which a window adapter may append instead of replacing.
class ResultsBox {
 public:
  explicit ResultsBox(ViewState& view) : view_(view) {}

  const std::string& text() const { return text_; }
  bool empty() const { return text_.empty(); }
  void Set(std::string_view text);
  void Append(std::string_view text);
  void Clear() { Set(std::string_view()); }
  // Repaints the window, so that the text shows at once.
  void Repaint() { view_.Repaint(); }

 private:
  ViewState& view_;
  std::string text_;
};

}  // namespace orvane
