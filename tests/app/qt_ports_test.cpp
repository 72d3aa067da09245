#include "app/qt_ports.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "app/qt_text.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

TEST(QtTextTest, LineBreaksCrossBetweenDisplayTextAndWidgets) {
  EXPECT_EQ(ToQt("a\r\nb\rc\nd"), "a\nb\nc\nd");
  EXPECT_EQ(ToQt("\xC3\xA9t\xC3\xA9"), QString::fromUtf8("\xC3\xA9t\xC3\xA9"));
  EXPECT_EQ(FromQt("a\nb\r\nc"), "a\r\nb\r\nc");
  EXPECT_EQ(FromQt(QString("a") + QChar::ParagraphSeparator + "b"), "a\r\nb");
}

TEST(QtViewStateTest, SetsControlsByTheirFixedNames) {
  QWidget window;
  window.setObjectName("frmIndexMain");
  auto* label = new QLabel(&window);
  label->setObjectName("lblCurrentFile");
  auto* first = new QPushButton("List files", &window);
  first->setObjectName("cmdListFiles[0]");
  auto* second = new QPushButton("List files which were indexed", &window);
  second->setObjectName("cmdListFiles[1]");
  auto* box = new QPlainTextEdit(&window);
  box->setObjectName("txbFiles");
  auto* line = new QLineEdit(&window);
  line->setObjectName("txbTopFolder");

  QtViewState view(window);
  view.SetText("lblCurrentFile", "12 files\r\nlisted");
  view.SetText("cmdListFiles[1]", "Stop");
  view.SetText("txbFiles", "a\r\nb");
  view.SetText("txbTopFolder", "/data/");
  view.SetText("frmIndexMain", "Index Module");
  view.SetText("lblNoSuchLabel", "ignored");
  view.SetEnabled("cmdListFiles[0]", false);
  view.SetVisible("txbFiles", false);
  view.SetEnabled("cmdNoSuchButton", false);

  EXPECT_EQ(label->text(), "12 files\nlisted");
  EXPECT_EQ(first->text(), "List files");
  EXPECT_EQ(second->text(), "Stop");
  EXPECT_EQ(box->toPlainText(), "a\nb");
  EXPECT_EQ(line->text(), "/data/");
  EXPECT_EQ(window.windowTitle(), "Index Module");
  EXPECT_FALSE(first->isEnabled());
  EXPECT_TRUE(second->isEnabled());
  EXPECT_TRUE(box->isHidden());
}

TEST(QtYieldTest, ProcessesPendingInputAtMostOncePerInterval) {
  QtYield yield(60000);
  int fired = 0;
  QTimer::singleShot(0, [&] { ++fired; });
  yield.ProcessPendingEvents();
  EXPECT_EQ(fired, 1);
  QTimer::singleShot(0, [&] { ++fired; });
  yield.ProcessPendingEvents();  // within the interval: nothing happens
  EXPECT_EQ(fired, 1);
  QCoreApplication::processEvents();
}

// Restores ORVANE_OPEN after a test that changes it.
class OpenCommandScope {
 public:
  OpenCommandScope() {
    const char* value = getenv("ORVANE_OPEN");
    if (value != nullptr) saved_ = value;
    had_value_ = value != nullptr;
  }
  ~OpenCommandScope() {
    if (had_value_) {
      setenv("ORVANE_OPEN", saved_.c_str(), 1);
    } else {
      unsetenv("ORVANE_OPEN");
    }
  }

 private:
  std::string saved_;
  bool had_value_ = false;
};

TEST(QtOpenerTest, RunsTheOpenCommandWithTheTargetAndTakesItsStatus) {
  OpenCommandScope scope;
  TempDir dir;
  const std::string record = dir.Path("opened.txt");
  const std::string script =
      dir.Write("open.sh", "#!/bin/sh\nprintf '%s' \"$1\" > '" + record +
                               "'\nexit \"${OPEN_STATUS:-0}\"\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  setenv("ORVANE_OPEN", script.c_str(), 1);

  QtOpener opener;
  EXPECT_GT(opener.Open("file:///srv/docs/index module.htm"), 32);
  EXPECT_EQ(ReadFileBytes(record), "file:///srv/docs/index module.htm");

  setenv("OPEN_STATUS", "31", 1);
  EXPECT_EQ(opener.Open("/srv/report.xyz"), 31);
  setenv("OPEN_STATUS", "200", 1);
  EXPECT_EQ(opener.Open("/srv/report.xyz"), 32);
  unsetenv("OPEN_STATUS");

  setenv("ORVANE_OPEN", dir.Path("no-such-command").c_str(), 1);
  EXPECT_EQ(opener.Open("/srv/report.xyz"), 2);
}

TEST(QtOpenerTest, AMissingLocalFileIsRefusedBeforeTheDesktopIsAsked) {
  OpenCommandScope scope;
  unsetenv("ORVANE_OPEN");
  TempDir dir;
  QtOpener opener;
  EXPECT_EQ(opener.Open(dir.Path("gone.htm")), 2);
  EXPECT_EQ(opener.Open("file://" + dir.Path("gone.htm")), 2);
}

}  // namespace
}  // namespace orvane
