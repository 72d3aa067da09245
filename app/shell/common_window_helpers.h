// The window operations every window shares: painting a window and its
// controls in the one window colour, and enabling or disabling its controls
// by kind while a long operation runs.
//
// Kinds of controls: command buttons are QPushButton (and other push-style
// buttons), check boxes QCheckBox, option buttons QRadioButton, combo boxes
// QComboBox, frames QGroupBox, text boxes QLineEdit, QPlainTextEdit,
// QTextEdit and spin boxes, labels QLabel. A control's inner widgets (a text
// box's scroll bars, a combo box's list) are part of the control, not
// controls of the window.
#pragma once

#include <QColor>
#include <QWidget>

#include "engine/common/common_values.h"

namespace OV_common {

QColor ToQColor(Rgb colour);

// Sets the window's background to colour, and the background of its check
// boxes, labels, frames and option buttons; every other control keeps its
// own colours.
void SetWindowColour(QWidget& window, Rgb colour);

// Sets the enabled state of the window's command buttons, check boxes,
// option buttons and combo boxes; of its frames, text boxes and labels too
// when the matching flag is set. Then repaints the window at once.
void SetControlsEnabled(QWidget& window, bool enabled, bool frames,
                        bool text_boxes, bool labels);

}  // namespace OV_common
