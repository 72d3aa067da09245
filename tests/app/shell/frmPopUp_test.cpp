#include "app/shell/frmPopUp.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

namespace orvane {
namespace {

class FrmPopUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    launcher_.move(120, 90);
    launcher_.show();
    // The launcher's outer size (with its frame) is 4,500 by 5,400 twips.
    const QSize frame = launcher_.frameGeometry().size() - launcher_.size();
    launcher_.resize(QSize(300, 360) - frame);
  }

  // Runs probe while the note is up (the call that shows it waits).
  void WhileShown(int after_ms, std::function<void()> probe) {
    QTimer::singleShot(after_ms, &pop_up_, std::move(probe));
  }

  QWidget launcher_;
  frmPopUp pop_up_{launcher_};
};

TEST_F(FrmPopUpTest, AClickHidesTheNoteAtOnce) {
  bool shown = false;
  WhileShown(30, [&] {
    shown = pop_up_.isVisible() && pop_up_.isModal();
    QTest::mouseClick(pop_up_.lblMessage, Qt::LeftButton);
  });
  QElapsedTimer clock;
  clock.start();
  pop_up_.PopUp("Settings saved.", 2000, 380, 30000, 750, 0);
  EXPECT_TRUE(shown);
  EXPECT_LT(clock.elapsed(), 10000);
  EXPECT_FALSE(pop_up_.isVisible());
  EXPECT_FALSE(pop_up_.Timer1->isActive());
}

TEST_F(FrmPopUpTest, TheTimerHidesTheNoteAndTheCallerGoesOn) {
  QElapsedTimer clock;
  clock.start();
  pop_up_.PopUp2("Settings saved.", 2000, 380, 120, 0, 0);
  EXPECT_GE(clock.elapsed(), 110);
  EXPECT_FALSE(pop_up_.isVisible());
}

TEST_F(FrmPopUpTest, PlacesTheNoteInTheReferenceWindow) {
  QWidget module;
  module.setGeometry(300, 200, 600, 400);
  module.show();
  QRect placed;
  QString text;
  int label_width = 0;
  WhileShown(20, [&] {
    placed = pop_up_.frameGeometry();
    text = pop_up_.lblMessage->text();
    label_width = pop_up_.lblMessage->width();
    pop_up_.Timer1->stop();
    pop_up_.hide();
  });
  pop_up_.PopUpInForm(module, "Settings saved.", 2000, 380, 30000, 1000, 150);
  const QRect frame = module.frameGeometry();
  // 1,000 and 150 twips below and right of the window's corner; 2,000 by
  // 380 twips large.
  EXPECT_EQ(placed.topLeft(), frame.topLeft() + QPoint(10, 67));
  EXPECT_EQ(placed.size(), QSize(133, 25));
  EXPECT_EQ(label_width, 133);
  EXPECT_EQ(text, "Settings saved.");
}

TEST_F(FrmPopUpTest, ANoteWiderThanTheLauncherStartsLeftOfIt) {
  QRect placed;
  WhileShown(20, [&] {
    placed = pop_up_.frameGeometry();
    pop_up_.Timer1->stop();
    pop_up_.hide();
  });
  pop_up_.PopUpCenter("A long note", 6000, 600, 30000);
  const QRect frame = launcher_.frameGeometry();
  // (4,500 - 6,000) / 2 = -750 twips; (5,400 - 600) / 2 = 2,400 twips.
  EXPECT_EQ(placed.topLeft(), frame.topLeft() + QPoint(-50, 160));
  EXPECT_EQ(placed.width(), 400);
}

}  // namespace
}  // namespace orvane
