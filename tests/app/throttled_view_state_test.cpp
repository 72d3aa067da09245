#include "app/throttled_view_state.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include "app/shell/controls.h"

namespace orvane {
namespace {

// With an interval no test reaches, only the first change paints at once;
// the later ones wait until another kind of change or Flush.
TEST(ThrottledViewStateTest, ProgressWaitsButNeverOvertakesOtherChanges) {
  QWidget window;
  auto* label = MakeControl<QLabel>(&window, "lblCurrentFile");
  auto* bar = MakeControl<QProgressBar>(&window, "prgRunProgress");
  auto* button = MakeControl<QPushButton>(&window, "cmdExtractData", "Go");
  ThrottledViewState view(window, {"lblCurrentFile", "prgRunProgress"},
                          60 * 60 * 1000);

  view.SetText("lblCurrentFile", "file 1");
  EXPECT_EQ(label->text(), "file 1");
  view.SetText("lblCurrentFile", "file 2");
  view.SetProgress("prgRunProgress", 2, 10);
  view.Repaint();
  EXPECT_EQ(label->text(), "file 1");
  EXPECT_EQ(bar->value(), -1);

  // A caption change shows what the run reached first.
  view.SetText("cmdExtractData", "Create index file");
  EXPECT_EQ(label->text(), "file 2");
  EXPECT_EQ(bar->maximum(), 10);
  EXPECT_EQ(bar->value(), 2);
  EXPECT_EQ(button->text(), "Create index file");

  view.SetProgress("prgRunProgress", 0, 0);  // counting: a busy bar
  view.SetText("lblCurrentFile", "done");
  view.Flush();
  EXPECT_EQ(label->text(), "done");
  EXPECT_EQ(bar->maximum(), 0);
}

}  // namespace
}  // namespace orvane
