#include "app/shell/common_window_helpers.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace orvane {
namespace {

// A window with a control of every kind, a frame holding an option button
// and a label, and controls nested in a plain container.
class SampleWindow : public QWidget {
 public:
  SampleWindow() {
    auto* layout = new QVBoxLayout(this);
    label = Add<QLabel>(layout, "A label");
    check = Add<QCheckBox>(layout, "A check box");
    button = Add<QPushButton>(layout, "A button");
    line = new QLineEdit(this);
    layout->addWidget(line);
    text = new QPlainTextEdit(this);
    layout->addWidget(text);
    combo = new QComboBox(this);
    combo->setEditable(true);
    combo->addItem("one");
    layout->addWidget(combo);
    frame = new QGroupBox("A frame", this);
    auto* inner = new QVBoxLayout(frame);
    option = new QRadioButton("An option", frame);
    inner->addWidget(option);
    framed_label = new QLabel("In the frame", frame);
    inner->addWidget(framed_label);
    layout->addWidget(frame);
    auto* container = new QWidget(this);
    auto* nested = new QVBoxLayout(container);
    nested_button = new QPushButton("Nested", container);
    nested->addWidget(nested_button);
    layout->addWidget(container);
    resize(300, 500);
  }

  template <class W>
  W* Add(QVBoxLayout* layout, const char* caption) {
    auto* widget = new W(caption, this);
    layout->addWidget(widget);
    return widget;
  }

  QLabel* label;
  QCheckBox* check;
  QPushButton* button;
  QLineEdit* line;
  QPlainTextEdit* text;
  QComboBox* combo;
  QGroupBox* frame;
  QRadioButton* option;
  QLabel* framed_label;
  QPushButton* nested_button;
};

TEST(SetWindowColourTest, PaintsTheLabelKindsAndLeavesTheRest) {
  SampleWindow window;
  const QColor before_base = window.line->palette().color(QPalette::Base);
  const QColor before_button = window.button->palette().color(QPalette::Button);
  const QColor lilac(220, 192, 238);
  OV_common::SetWindowColour(window, OV_common::Rgb{220, 192, 238});
  window.show();
  const QImage image = window.grab().toImage();
  auto pixel_in = [&](QWidget* control, QPoint at) {
    return QColor(image.pixel(control->mapTo(&window, at)));
  };

  EXPECT_EQ(pixel_in(window.label, QPoint(1, 1)), lilac);  // the window
  for (QWidget* painted :
       std::initializer_list<QWidget*>{window.label, window.check, window.frame,
                                       window.option, window.framed_label}) {
    EXPECT_EQ(painted->palette().color(painted->backgroundRole()), lilac)
        << painted->metaObject()->className();
    EXPECT_TRUE(painted->autoFillBackground());
  }
  // Text boxes and buttons keep their own colours, on screen too.
  EXPECT_EQ(window.line->palette().color(QPalette::Base), before_base);
  EXPECT_EQ(window.button->palette().color(QPalette::Button), before_button);
  EXPECT_NE(window.button->palette().color(QPalette::Window), lilac);
  EXPECT_NE(window.text->verticalScrollBar()->palette().color(QPalette::Window),
            lilac);
  EXPECT_NE(pixel_in(window.line, window.line->rect().center()), lilac);
  EXPECT_NE(pixel_in(window.button, window.button->rect().center()), lilac);
}

TEST(SetControlsEnabledTest, TheFlagsChooseTheKinds) {
  struct Row {
    bool frames, text_boxes, labels;
  } rows[] = {{false, false, true}, {true, true, false}, {false, false, false}};
  for (const Row& row : rows) {
    SampleWindow window;
    OV_common::SetControlsEnabled(window, false, row.frames, row.text_boxes,
                                  row.labels);
    for (QWidget* always : std::initializer_list<QWidget*>{
             window.button, window.check, window.combo, window.nested_button}) {
      EXPECT_FALSE(always->isEnabled()) << always->metaObject()->className();
    }
    // The option button is disabled itself, not only through its frame.
    EXPECT_FALSE(window.option->isEnabledTo(window.frame));
    EXPECT_EQ(window.frame->isEnabled(), !row.frames);
    EXPECT_EQ(window.line->isEnabled(), !row.text_boxes);
    EXPECT_EQ(window.text->isEnabled(), !row.text_boxes);
    EXPECT_EQ(window.label->isEnabled(), !row.labels);
    EXPECT_EQ(window.framed_label->isEnabledTo(window.frame), !row.labels);

    OV_common::SetControlsEnabled(window, true, true, true, true);
    for (QWidget* control : window.findChildren<QWidget*>()) {
      EXPECT_TRUE(control->isEnabled()) << control->metaObject()->className();
    }
  }
}

}  // namespace
}  // namespace orvane
