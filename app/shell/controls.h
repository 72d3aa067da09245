// Making a window's controls: every control carries its fixed name as its
// objectName, so that the view state, the tests and the common window
// helpers find it by that name.
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

}  // namespace orvane
