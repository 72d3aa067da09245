// Making a window's controls, and finding them again: every control carries
// its fixed name as its objectName, so that the view state, the tests, the
// pictures and the common window helpers find it by that name.
#pragma once

#include <QWidget>
#include <utility>

namespace orvane {

// new Control(args..., parent), named name ("cmdQuit", "lblTitle[1]").
template <class Control, class... Args>
Control* MakeControl(QWidget* parent, const char* name, Args&&... args) {
  auto* control = new Control(std::forward<Args>(args)..., parent);
  control->setObjectName(name);
  return control;
}

// The control of window named name, of kind Control, or null.
template <class Control>
Control* FindControl(const QWidget& window, const char* name) {
  return window.findChild<Control*>(QString::fromUtf8(name));
}
template <class Control>
Control* FindControl(const QWidget* window, const char* name) {
  return window == nullptr ? nullptr : FindControl<Control>(*window, name);
}

}  // namespace orvane
