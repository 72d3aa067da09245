// What a screen reader hears of the windows, read through Qt's
// accessibility interface as a screen reader reads it.
#include "app/shell/accessibility.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QTest>

#include "app/frmMain.h"
#include "app/index/frmIndexMain.h"
#include "app/qt_text.h"
#include "app/search/frmSearchMain.h"
#include "engine/common/program_texts.h"
#include "engine/shell/shell.h"
#include "tests/support/window_test.h"

namespace orvane::testing {
namespace {

QAccessibleInterface* Accessible(QObject* object) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
  if (face == nullptr) throw std::logic_error("no accessible interface");
  return face;
}

std::string Name(QObject* object) {
  return Accessible(object)->text(QAccessible::Name).toStdString();
}

// The names of the labels the control is labelled by, joined by "|".
std::string LabelledBy(QObject* object) {
  std::string names;
  for (const auto& [label, relation] :
       Accessible(object)->relations(QAccessible::Label)) {
    if (!names.empty()) names += '|';
    names += label->text(QAccessible::Name).toStdString();
  }
  return names;
}

class AccessibilityTest : public WindowTest {
 protected:
  AccessibilityTest() { launcher_.Form_Load(); }
  ~AccessibilityTest() override {
    delete index_;
    Settle();
  }
  frmIndexMain& IndexModule() {
    index_ = new frmIndexMain(launcher_.services());
    index_->setAttribute(Qt::WA_DeleteOnClose, false);
    index_->show();
    QCoreApplication::processEvents();
    return *index_;
  }
  frmSearchMain& SearchModule() {
    QTest::mouseClick(launcher_.cmdSearchModule, Qt::LeftButton);
    auto* search = qobject_cast<frmSearchMain*>(launcher_.module());
    if (search == nullptr) throw std::logic_error("no Search Module");
    return *search;
  }

  frmIndexMain* index_ = nullptr;
};

// Names a screen reader read wrongly: the launcher's introduction had none,
// five idle progress labels all read "Progress", combo boxes read their
// current item ("What?", "Save for next run", "7").
TEST_F(AccessibilityTest, ControlsAreNamedAfterWhatTheyAre) {
  struct Row {
    QWidget* window;
    const char* control;
    const char* name;
  };
  auto check = [](const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      EXPECT_EQ(Name(Control(row.window, row.control)), row.name)
          << row.control;
    }
  };
  auto value = [](QWidget* control) {
    return Accessible(control)->text(QAccessible::Value).toStdString();
  };
  frmIndexMain& index = IndexModule();
  const std::vector<Row> index_rows = {
      {&launcher_, "txbIntro", "Introduction"},
      {&launcher_, "cmdIndexModule", "Call up the index module"},
      {&launcher_, "lblOrvaneSystems", "Orvane Systems"},
      {&index, "txbProjectName", "Project name"},
      {&index, "cboSettings", "Settings"},
      {&index, "cboClear", "Clear"},
      {&index, "lblTotalNumFiles", ""},
      {&index, "lblTotalFileSize", ""},
      {&index, "lblNowProcessingFile", ""},
      {&index, "lblCurrentFile", ""},
      {&index, "lblDifferentWordsFoundSoFar", ""},
      {&index, "prgRunProgress", "Progress"},
      {&index, "lblUserManualURL", "User manual"},
  };
  check(index_rows);
  // A progress label with text is read as its text.
  Control<QLabel>(index, "lblTotalNumFiles")->setText("Number of files: 3");
  EXPECT_EQ(Name(Control(index, "lblTotalNumFiles")), "Number of files: 3");
  // A combo box's item is its value.
  EXPECT_EQ(value(Control(index, "cboClear")), "What?");
  delete index_;
  index_ = nullptr;
  Settle();

  frmSearchMain& search = SearchModule();
  const std::vector<Row> search_rows = {
      {&search, "cboSettings", "Settings"},
      {&search, "cboSizeOfExtract", "Size of extract"},
      {&search, "cboSearchType", "Search type"},
      {&search, "txbSearchWords", "Search words"},
      {&search, "optHTMLReport", "HTML"},
      {&search, "lblUserManualURL", "User manual"},
  };
  check(search_rows);
  EXPECT_EQ(value(Control(search, "cboSizeOfExtract")), "5");
  // The HTML and Text options are labelled by their frame, "Report", not
  // by the frame around it ("Options").
  EXPECT_EQ(LabelledBy(Control(search, "optHTMLReport")), "Report");
  EXPECT_EQ(LabelledBy(Control(search, "optTextReport")), "Report");
  search.close();
}

// The links could not be reached with Tab: they are links now, reached by
// Tab, followed with Enter or a screen reader's press.
TEST_F(AccessibilityTest, LinksAreReachedAndFollowedWithTheKeyboard) {
  frmIndexMain& index = IndexModule();
  for (const char* name : {"lblUserManualURL", "lblOrvaneSystems"}) {
    QWidget* link = Control(index, name);
    EXPECT_TRUE(link->focusPolicy() & Qt::TabFocus) << name;
    EXPECT_EQ(Accessible(link)->role(), QAccessible::Link) << name;
  }
  QWidget* manual = Control(index, "lblUserManualURL");
  manual->setFocus();
  QTest::keyClick(manual, Qt::Key_Return);
  QAccessibleActionInterface* actions =
      Accessible(Control(index, "lblOrvaneSystems"))->actionInterface();
  ASSERT_NE(actions, nullptr);
  actions->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(opener_.targets(), (std::vector<std::string>{
                                   Shell::ResolveAddress(GetProgramText(2)),
                                   Shell::ResolveAddress(GetProgramText(6))}));
  EXPECT_TRUE(prompter_.boxes().empty()) << prompter_.Transcript();
}

}  // namespace
}  // namespace orvane::testing
