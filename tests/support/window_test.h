// What every window test starts from: the recording and scripted ports, the
// launcher over them (whose services every window takes), letting queued
// events happen, and finding a window's controls by their fixed names.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/frmMain.h"
#include "app/shell/frmLargeDisplay.h"
#include "tests/support/fakes.h"

namespace orvane::testing {

// Lets queued hand-overs and the deferred deletion of closed windows happen.
void Settle();

// The control of window whose fixed name (objectName) is name, of kind T.
// A test that asks for a control the window does not have fails there.
template <class T = QWidget>
T* Control(const QWidget& window, std::string_view name) {
  const QString wanted =
      QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  T* control = window.findChild<T*>(wanted);
  if (control == nullptr) {
    throw std::logic_error(window.objectName().toStdString() +
                           " has no control " + std::string(name) +
                           " of the kind asked for");
  }
  return control;
}
template <class T = QWidget>
T* Control(const QWidget* window, std::string_view name) {
  if (window == nullptr) throw std::logic_error("no window");
  return Control<T>(*window, name);
}

// Drags a file or folder from a file manager onto the widget and drops it
// there. True when the widget took the drop.
bool DropPath(QWidget* target, const std::string& path);

// What the large display window shows, once the lines that wait for their
// tenth of a second are shown too: its lines, joined by LF.
QString Shown(frmLargeDisplay& display);

class WindowTest : public ::testing::Test {
 protected:
  RecordingPrompter prompter_;
  ScriptedYield yield_;
  RecordingOpener opener_;
  ScriptedDialogs dialogs_;
  FakeClock clock_;
  frmMain launcher_{prompter_, yield_, opener_, dialogs_, clock_};
};

}  // namespace orvane::testing
