// The Qt adapters of the engine's ports: message boxes, letting the window
// system process pending input during a long loop, opening documents and
// addresses, and the controls of a window addressed by their fixed names.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/ports.h"

namespace orvane {

// Modal QMessageBox boxes, placed over the active window.
class QtPrompter : public Prompter {
 public:
  void ShowMessage(MessageIcon icon, std::string_view title,
                   std::string_view text) override;
  // A box closed without a button (Escape, the close box) answers Cancel,
  // or No when there is no Cancel, or OK for an OK box.
  Answer Ask(MessageIcon icon, std::string_view title, std::string_view text,
             MessageButtons buttons) override;
};

// QCoreApplication::processEvents(), at most once per interval of work: a
// loop may yield after every line without paying for it, and the windows
// still answer within a fraction of a second.
class QtYield : public Yield {
 public:
  explicit QtYield(int interval_ms = 20) : interval_ms_(interval_ms) {}
  void ProcessPendingEvents() override;

 private:
  int interval_ms_;
  QElapsedTimer since_last_;
};

// The command of ORVANE_OPEN when it is set (run with the target as its one
// argument; its exit status is the result), else the desktop's default
// program through QDesktopServices. A local file that does not exist is
// refused with code 2, as the desktop would not report it; a target the
// desktop cannot open gives 31 (no program for it).
class QtOpener : public Opener {
 public:
  int Open(const std::string& target) override;
};

// The child widgets of one window, found by objectName ("cmdListFiles" or
// "cmdListFiles[1]"); the window's own name addresses its caption. Unknown
// names are ignored.
class QtViewState : public ViewState {
 public:
  explicit QtViewState(QWidget& window) : window_(&window) {}
  void SetText(std::string_view control, std::string_view text) override;
  void SetEnabled(std::string_view control, bool enabled) override;
  void SetVisible(std::string_view control, bool visible) override;
  void SetFocus(std::string_view control) override;
  void Repaint() override;

 private:
  QWidget* Find(std::string_view control) const;
  QPointer<QWidget> window_;
};

// QFileDialog, over the active window; the desktop's own dialogs where it
// offers them. Paths are handed over as the file system's bytes.
class QtDialogs : public Dialogs {
 public:
  std::string ChooseFolder(const DialogRequest& request) override;
  std::string OpenFile(const DialogRequest& request) override;
  std::vector<std::string> OpenFiles(const DialogRequest& request) override;
  std::string SaveFile(const DialogRequest& request) override;
};

// Local time of day, to the millisecond, for a run's duration.
class QtClock : public Clock {
 public:
  double SecondsSinceMidnight() override;
};

}  // namespace orvane
