#include "app/shell/frmLargeDisplay.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "app/qt_text.h"
#include "engine/common/program_texts.h"
#include "tests/support/window_test.h"

namespace orvane {
namespace {

QString Widget(frmLargeDisplay& display) { return testing::Shown(display); }

// Selects the lines from first to last, as a drag of the mouse does.
void Select(frmLargeDisplay& display, int first, int last) {
  const QAbstractItemModel& rows = *display.txbOutput->model();
  display.txbOutput->selectionModel()->select(
      QItemSelection(rows.index(first, 0), rows.index(last, 0)),
      QItemSelectionModel::ClearAndSelect);
}

// The window once stopped at 61,440 characters with "THE REPORT BUFFER IS
// FULL."; it now shows the whole text, as the command line prints it.
TEST(FrmLargeDisplayTest, OutputShowsTheWholeText) {
  frmLargeDisplay display;
  display.SetBufferFullMessage("THE REPORT BUFFER IS FULL.");
  display.Output(std::string(70000, 'x'), 0, true);
  display.Output("more", 1, false);
  display.Output("still more", 2, true);
  EXPECT_EQ(Widget(display), QString(70000, 'x') + "more\nstill more\n\n");
  EXPECT_FALSE(display.ReportBufferFull());
  // The current line is the last: the end of the text is in view.
  EXPECT_EQ(display.txbOutput->currentIndex().row(), 3);

  display.Clear();
  EXPECT_FALSE(display.ReportBufferFull());
  EXPECT_EQ(Widget(display), "");
  display.Output("again", 1, false);
  display.Output("and", 0, false);
  EXPECT_EQ(Widget(display), "again\nand");
  EXPECT_EQ(display.text(), "again\r\nand");
}

TEST(FrmLargeDisplayTest, ANoteStandsAtTheEndUntilRemovedOrOverwritten) {
  frmLargeDisplay display;
  display.Output("Title", 1, false);
  display.ShowNote("Searching file ...");
  EXPECT_EQ(Widget(display), "Title\nSearching file ...");
  EXPECT_EQ(display.text(), "Title\r\n");
  display.RemoveNote();
  EXPECT_EQ(Widget(display), "Title\n");
  // A note still shown when text comes is taken away first.
  display.ShowNote("Searching file ...");
  display.Output("extract", 1, false);
  EXPECT_EQ(Widget(display), "Title\nextract\n");
  display.RemoveNote();
  EXPECT_EQ(Widget(display), "Title\nextract\n");
}

TEST(FrmLargeDisplayTest, DisplayArraySeparatesFoldersAndEndsWithTheMessage) {
  frmLargeDisplay display;
  display.DisplayArray({"/c/a/x.txt", "/c/a/y.txt", "/c/b/z.txt"}, 0, 2,
                       "Listing complete.", true);
  EXPECT_EQ(Widget(display),
            "/c/a/x.txt\n/c/a/y.txt\n\n/c/b/z.txt\n\nListing complete.");
  EXPECT_FALSE(display.ReportBufferFull());

  // A line break split over two appends is still one line break.
  display.Clear();
  display.Output("one\r", 0, false);
  display.Output("\ntwo", 0, false);
  EXPECT_EQ(Widget(display), "one\ntwo");
}

TEST(FrmLargeDisplayTest, ALongListingIsShownWholeAndLinesAreWideEnough) {
  frmLargeDisplay display;
  display.SetBufferFullMessage("THE FILE LIST BUFFER IS FULL.");
  display.Show();
  std::vector<std::string> items(100000, std::string(98, 'p'));
  items[5000] = std::string(400, 'w');  // the widest line
  display.DisplayArray(items, 0, 99999, "Listing complete.", false);
  QCoreApplication::processEvents();
  const QAbstractItemModel& rows = *display.txbOutput->model();
  ASSERT_EQ(rows.rowCount(), 100002);
  EXPECT_EQ(rows.data(rows.index(100001, 0)).toString(), "Listing complete.");
  EXPECT_FALSE(display.ReportBufferFull());
  // Every line is as wide as the widest, which is not cut.
  const int widest =
      display.txbOutput->fontMetrics().horizontalAdvance(QString(400, 'w'));
  EXPECT_GE(display.txbOutput->columnWidth(0), widest);
  EXPECT_GT(display.txbOutput->horizontalScrollBar()->maximum(), 0);
  // Select all and copy take every line.
  display.txbOutput->setFocus();
  QTest::keyClick(display.txbOutput, Qt::Key_A, Qt::ControlModifier);
  QTest::mouseClick(display.cmdCopyToClipboard, Qt::LeftButton);
  const QString copied = QGuiApplication::clipboard()->text();
  EXPECT_EQ(copied.count('\n'), 100001);
  EXPECT_TRUE(copied.endsWith("\nListing complete."));
}

TEST(FrmLargeDisplayTest, CopiesTheSelectionOrTheWholeText) {
  frmLargeDisplay display;
  display.Show();
  display.Output("first line", 1, false);
  display.Output("second line", 0, false);
  QClipboard* clipboard = QGuiApplication::clipboard();

  clipboard->setText("old");
  QTest::mouseClick(display.cmdCopyToClipboard, Qt::LeftButton);
  EXPECT_EQ(clipboard->text(), "first line\nsecond line");
  EXPECT_EQ(display.cmdCopyToClipboard->text(), ToQt(GetProgramText(185)));

  // The caption follows the selection.
  Select(display, 1, 1);
  EXPECT_EQ(display.cmdCopyToClipboard->text(), ToQt(GetProgramText(424)));
  QTest::mouseClick(display.cmdCopyToClipboard, Qt::LeftButton);
  EXPECT_EQ(clipboard->text(), "second line");
  EXPECT_FALSE(display.txbOutput->selectionModel()->hasSelection());
  EXPECT_EQ(display.cmdCopyToClipboard->text(), ToQt(GetProgramText(185)));

  // Enter in a selection copies it, and so does Ctrl+C.
  Select(display, 0, 0);
  QTest::keyClick(display.txbOutput, Qt::Key_Return);
  EXPECT_EQ(clipboard->text(), "first line");
  EXPECT_EQ(Widget(display), "first line\nsecond line");
  Select(display, 0, 1);
  QTest::keyClick(display.txbOutput, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), "first line\nsecond line");
  // Lines selected apart are copied in the order of the text.
  display.Output("\r\nthird line", 0, false);
  Select(display, 2, 2);
  display.txbOutput->selectionModel()->select(
      display.txbOutput->model()->index(0, 0), QItemSelectionModel::Select);
  QTest::mouseClick(display.cmdCopyToClipboard, Qt::LeftButton);
  EXPECT_EQ(clipboard->text(), "first line\nthird line");
}

TEST(FrmLargeDisplayTest, PauseHoldsTheCallersLoopUntilContinue) {
  frmLargeDisplay display;
  display.SetCopyButtonCaption("Pause");
  display.Show();
  int written = 0;
  int written_when_continued = -1;
  QString caption_while_paused;
  QElapsedTimer clock;
  clock.start();
  // The user clicks Pause while the listing runs, and Continue 150 ms later.
  QTimer::singleShot(0, [&] {
    QTest::mouseClick(display.cmdCopyToClipboard, Qt::LeftButton);
  });
  QTimer::singleShot(150, [&] {
    caption_while_paused = display.cmdCopyToClipboard->text();
    written_when_continued = written;
    QTest::mouseClick(display.cmdCopyToClipboard, Qt::LeftButton);
  });
  while (written < 5) {
    display.Output("line " + std::to_string(++written), 1, true);
    QCoreApplication::processEvents();  // the caller's yield
  }
  EXPECT_EQ(caption_while_paused, "Continue");
  EXPECT_EQ(written_when_continued, 1);
  EXPECT_GE(clock.elapsed(), 140);
  EXPECT_EQ(display.cmdCopyToClipboard->text(), "Pause");
  EXPECT_TRUE(Widget(display).endsWith("line 5\n"));
}

TEST(FrmLargeDisplayTest, HidingThePausedWindowReleasesTheCaller) {
  frmLargeDisplay display;
  display.SetCopyButtonCaption("Pause");
  display.Show();
  QTimer::singleShot(
      50, [&] { QTest::mouseClick(display.cmdClose, Qt::LeftButton); });
  QTest::mouseClick(display.cmdCopyToClipboard, Qt::LeftButton);
  // Back here: the caller sees the hidden window and stops.
  EXPECT_FALSE(display.IsVisible());
}

TEST(FrmLargeDisplayTest, CloseHidesButTheCloseBoxDiscards) {
  frmLargeDisplay display;
  EXPECT_FALSE(display.blnActivated);
  display.SetCaption("3 files are to be indexed");
  display.SetBufferFullMessage("THE FILE LIST BUFFER IS FULL.");
  display.SetCopyButtonCaption("Pause");
  display.Show();
  EXPECT_TRUE(display.blnActivated);
  EXPECT_EQ(display.cmdClose->text(), "Close");
  display.Output("kept", 0, false);

  QTest::mouseClick(display.cmdClose, Qt::LeftButton);
  EXPECT_FALSE(display.IsVisible());
  EXPECT_EQ(Widget(display), "kept");
  // Escape does what cmdClose does.
  display.Show();
  QApplication::setActiveWindow(&display);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&display));
  QTest::keyClick(display.txbOutput, Qt::Key_Escape);
  EXPECT_FALSE(display.IsVisible());
  EXPECT_EQ(Widget(display), "kept");
  EXPECT_EQ(display.strBufferFullMessage(), "THE FILE LIST BUFFER IS FULL.");

  display.Show();
  display.close();  // the window's close box
  EXPECT_FALSE(display.IsVisible());
  EXPECT_EQ(Widget(display), "");
  EXPECT_EQ(display.text(), "");
  EXPECT_EQ(display.strBufferFullMessage(), "BUFFER FULL");
  EXPECT_EQ(display.cmdCopyToClipboard->text(), "Copy to clipboard");
  EXPECT_EQ(display.windowTitle(), "");
  EXPECT_FALSE(display.blnActivated);
}

TEST(FrmLargeDisplayTest, ResizingKeepsTheMinimumAndRecaptionsClose) {
  frmLargeDisplay display;
  display.Show();
  display.resize(100, 100);
  EXPECT_EQ(display.size(), QSize(400, 200));  // 6,000 by 3,000 twips
  EXPECT_EQ(display.cmdClose->text(), ToQt(GetProgramText(184)));

  display.resize(700, 500);
  QCoreApplication::processEvents();
  // The text box fills the width but a margin; the buttons stand below it.
  EXPECT_LE(display.width() - display.txbOutput->width(), 20);
  EXPECT_GT(display.cmdClose->y(), display.txbOutput->geometry().bottom());
  EXPECT_EQ(display.cmdClose->y(), display.cmdCopyToClipboard->y());
  EXPECT_GT(display.cmdClose->x(), display.width() / 2);
}

}  // namespace
}  // namespace orvane
