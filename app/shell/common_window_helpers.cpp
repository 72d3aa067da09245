#include "app/shell/common_window_helpers.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <functional>

namespace OV_common {

namespace {

enum class Kind {
  kContainer,  // holds controls (a plain widget or frame of a layout)
  kCommandButton,
  kCheckBox,
  kOptionButton,
  kComboBox,
  kFrame,
  kTextBox,
  kLabel,
  kOther,  // list boxes, scroll bars, pictures: keep their own look
};

Kind KindOf(const QWidget* widget) {
  if (qobject_cast<const QCheckBox*>(widget)) return Kind::kCheckBox;
  if (qobject_cast<const QRadioButton*>(widget)) return Kind::kOptionButton;
  if (qobject_cast<const QAbstractButton*>(widget)) {
    return Kind::kCommandButton;
  }
  if (qobject_cast<const QComboBox*>(widget)) return Kind::kComboBox;
  if (qobject_cast<const QGroupBox*>(widget)) return Kind::kFrame;
  if (qobject_cast<const QLineEdit*>(widget) ||
      qobject_cast<const QPlainTextEdit*>(widget) ||
      qobject_cast<const QTextEdit*>(widget) ||
      qobject_cast<const QAbstractSpinBox*>(widget)) {
    return Kind::kTextBox;
  }
  if (qobject_cast<const QLabel*>(widget)) return Kind::kLabel;
  if (qobject_cast<const QAbstractScrollArea*>(widget) ||
      qobject_cast<const QAbstractSlider*>(widget)) {
    return Kind::kOther;
  }
  return Kind::kContainer;
}

// Calls visit for every control of the window in the window's control
// order, going into containers and frames but not into the inner widgets
// of a control. Other top-level windows (dialogs owned by this one) are
// not part of it.
void ForEachControl(QWidget& parent,
                    const std::function<void(QWidget&, Kind)>& visit) {
  for (QObject* child : parent.children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget == nullptr || widget->isWindow()) continue;
    Kind kind = KindOf(widget);
    if (kind != Kind::kContainer) visit(*widget, kind);
    if (kind == Kind::kContainer || kind == Kind::kFrame) {
      ForEachControl(*widget, visit);
    }
  }
}

void PaintBackground(QWidget& widget, const QColor& colour) {
  // Buttons of the check and option kinds fill with the button colour by
  // default; their background is the window's here.
  widget.setBackgroundRole(QPalette::Window);
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, colour);
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

// Fixes a control's background role at the application's colour, so that
// the window's colour does not reach it through palette inheritance.
void KeepOwnBackground(QWidget& widget) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window,
                   QApplication::palette(&widget).color(QPalette::Window));
  widget.setPalette(palette);
}

}  // namespace

QColor ToQColor(Rgb colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

void SetWindowColour(QWidget& window, Rgb colour) {
  const QColor qt_colour = ToQColor(colour);
  PaintBackground(window, qt_colour);
  ForEachControl(window, [&](QWidget& control, Kind kind) {
    switch (kind) {
      case Kind::kCheckBox:
      case Kind::kLabel:
      case Kind::kFrame:
      case Kind::kOptionButton:
        PaintBackground(control, qt_colour);
        break;
      default:
        KeepOwnBackground(control);
        break;
    }
  });
}

void SetControlsEnabled(QWidget& window, bool enabled, bool frames,
                        bool text_boxes, bool labels) {
  ForEachControl(window, [&](QWidget& control, Kind kind) {
    switch (kind) {
      case Kind::kCommandButton:
      case Kind::kCheckBox:
      case Kind::kOptionButton:
      case Kind::kComboBox:
        control.setEnabled(enabled);
        break;
      case Kind::kFrame:
        if (frames) control.setEnabled(enabled);
        break;
      case Kind::kTextBox:
        if (text_boxes) control.setEnabled(enabled);
        break;
      case Kind::kLabel:
        if (labels) control.setEnabled(enabled);
        break;
      default:
        break;
    }
  });
  window.repaint();
}

}  // namespace OV_common
