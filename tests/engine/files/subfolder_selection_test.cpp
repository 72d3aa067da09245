#include "engine/files/subfolder_selection.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::RecordingPrompter;
using testing::ScriptedYield;
using testing::TempDir;

struct Read {
  SubfolderSelection::Reading outcome;
  std::vector<std::string> shown;  // every text of the reading display
};

Read ReadDisk(SubfolderSelection& selection, RecordingPrompter& prompter,
              Yield& yield) {
  Read read;
  read.outcome = selection.ReadDisk(
      prompter, yield, [&](std::string_view t) { read.shown.emplace_back(t); });
  return read;
}

std::vector<std::string> Labels(const SubfolderSelection& selection) {
  std::vector<std::string> labels;
  for (const SubfolderEntry& entry : selection.entries()) {
    labels.push_back(entry.label);
  }
  return labels;
}

// n subfolders sub00 .. sub(n-1), each holding one small file.
void MakeSubfolders(const TempDir& dir, int n) {
  for (int i = 0; i < n; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "sub%04d/f.txt", i);
    dir.Write(name, "x");
  }
}

TEST(SubfolderSelectionTest, LabelsFollowTheGrammarOfCountsAndSizes) {
  struct Row {
    SubfolderCounts counts;
    bool omit_size;
    const char* label;
  } rows[] = {
      {{0, "", 0, "", 0, false}, false, "x {no files and no subfolders}"},
      {{1, "", 1, "", 1536, false},
       false,
       "x {1 file and 1 subfolder, 1.50 KB}"},
      {{1204, "", 2, "", 5 * 1048576.0, true},
       false,
       "x {1,204 files and 2 subfolders, over 5.00 MB}"},
      {{0, "", 3, "", 0, false},
       false,
       "x {no files and 3 subfolders, 0 bytes}"},
      {{2, "", 0, "", 700, false}, true, "x {2 files and no subfolders}"},
      // A size without a text leaves no ", " behind.
      {{2, "", 0, "", -1, false}, false, "x {2 files and no subfolders}"},
      // A failed count shows its error text instead of the counts.
      {{-1, "Permission denied", 0, "", 0, false},
       false,
       "x {Permission denied}"},
      {{4, "", -1, "Error: Input/output error", 0, false},
       false,
       "x {Error: Input/output error}"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(SubfolderLabel("x", row.counts, row.omit_size), row.label);
  }
}

TEST(SubfolderSelectionTest, ReadsSortsAndTicksThePassedNames) {
  TempDir dir;
  dir.Write("a/one.txt", "0123456789");
  dir.Write("a/inner/two.txt", "01234");
  dir.MakeDir("tmp");
  dir.Write("Docs/1.txt", "1");
  dir.Write("Docs/2.txt", "2");
  dir.Write("Docs/3.txt", "3");
  dir.Write("$RECYCLE.BIN/old.txt", "gone");
  for (int i = 0; i < 250; ++i) {
    dir.Write("Big/deep/" + std::to_string(i) + ".txt", "0123");
  }
  SelectSubfoldersValues values;
  values.strCaption = "Select subfolders to be included";
  values.strTopFolder = dir.path().string();  // not in folder form
  values.strFoldersPassedToSelectFoldersForm = "DOCS\r\n tmp \r\n\r\nA\r\n";
  SubfolderSelection selection(values);
  RecordingPrompter prompter;
  ScriptedYield yield;
  Read read = ReadDisk(selection, prompter, yield);

  ASSERT_EQ(read.outcome, SubfolderSelection::Reading::kListed);
  EXPECT_FALSE(selection.activating());
  EXPECT_EQ(read.shown,
            (std::vector<std::string>{
                "Reading disk . . .", "Reading disk . . . .",
                "Reading disk . . . . .", "Reading disk . . . . . .",
                "Reading disk . . . . . . ."}));
  EXPECT_EQ(yield.calls(), 4);
  // Sorted ignoring case; the recycle bin is neither listed nor counted;
  // the tree of Big is counted up to 200 files only.
  EXPECT_EQ(Labels(selection),
            (std::vector<std::string>{
                "a {1 file and 1 subfolder, 15 bytes}",
                "Big {no files and 1 subfolder, over 800 bytes}",
                "Docs {3 files and no subfolders, 3 bytes}",
                "tmp {no files and no subfolders}"}));
  const std::vector<SubfolderEntry>& entries = selection.entries();
  EXPECT_EQ(entries[1].size, 800);
  EXPECT_TRUE(entries[3].empty);
  // Passed names match in any case; the empty tmp is not ticked.
  EXPECT_TRUE(entries[0].checked);
  EXPECT_FALSE(entries[1].checked);
  EXPECT_TRUE(entries[2].checked);
  EXPECT_FALSE(entries[3].checked);
  EXPECT_EQ(selection.StatusText(),
            "2 selected (of 4).\r\nA total of 18 bytes.");
  EXPECT_FALSE(selection.ScrollBar().visible);
  EXPECT_TRUE(prompter.boxes().empty());

  // The empty subfolder can be ticked neither by a click nor by "Select
  // all"; the lower bound of Big's size marks the total.
  EXPECT_FALSE(selection.CheckboxClicked(3, true));
  EXPECT_TRUE(selection.CheckboxClicked(1, true));
  EXPECT_EQ(selection.StatusText(),
            "3 selected (of 4).\r\nA total of over 818 bytes.");
  EXPECT_TRUE(values.blnOver);
  EXPECT_EQ(values.dblTotalBytesSelected, 818);
  ASSERT_TRUE(selection.SelectDeselectAll(true));
  EXPECT_FALSE(entries[3].checked);
  EXPECT_EQ(selection.StatusText(),
            "3 selected (of 4).\r\nA total of over 818 bytes.");
  ASSERT_TRUE(selection.SelectDeselectAll(false));
  EXPECT_EQ(selection.StatusText(), "No subfolders selected.");
  EXPECT_FALSE(values.blnOver);
  EXPECT_EQ(values.dblTotalBytesSelected, 0);

  EXPECT_TRUE(selection.CheckboxClicked(2, true));
  EXPECT_TRUE(selection.CheckboxClicked(1, true));
  ASSERT_TRUE(selection.Accept());
  EXPECT_TRUE(values.blnFolderSelectionAccepted);
  EXPECT_EQ(values.strFoldersReturnedFromSelectFoldersForm, "Big\r\nDocs\r\n");
  EXPECT_TRUE(values.blnSomeSubfolderHasSubfolders);
}

TEST(SubfolderSelectionTest, StatusCountsAndTheTotalLine) {
  TempDir dir;
  MakeSubfolders(dir, 5);
  SelectSubfoldersValues values;
  values.strTopFolder = dir.folder();
  values.strCaption = "Pick some";  // no total line
  SubfolderSelection selection(values);
  RecordingPrompter prompter;
  ScriptedYield yield;
  ASSERT_EQ(ReadDisk(selection, prompter, yield).outcome,
            SubfolderSelection::Reading::kListed);
  EXPECT_EQ(selection.StatusText(), "No subfolders selected.");
  selection.CheckboxClicked(4, true);
  EXPECT_EQ(selection.StatusText(), "One subfolder selected.");
  selection.SelectDeselectAll(true);
  EXPECT_EQ(selection.StatusText(), "All 5 subfolders selected.");
  EXPECT_EQ(values.dblTotalBytesSelected, 5);
  // A name that holds the words of the rules decides nothing.
  dir.Write("overview permission denied/f.txt", "x");
  values.strCaption = "Folders INCLUDED";
  SubfolderSelection named(values);
  ASSERT_EQ(ReadDisk(named, prompter, yield).outcome,
            SubfolderSelection::Reading::kListed);
  EXPECT_TRUE(named.CheckboxClicked(0, true));
  EXPECT_EQ(named.StatusText(),
            "One subfolder selected.\r\nA total of 1 bytes.");
}

TEST(SubfolderSelectionTest, ThirteenBoxesScrollThroughThirtySubfolders) {
  TempDir dir;
  MakeSubfolders(dir, 30);
  SelectSubfoldersValues values;
  values.strTopFolder = dir.folder();
  SubfolderSelection selection(values);
  RecordingPrompter prompter;
  ScriptedYield yield;
  ASSERT_EQ(ReadDisk(selection, prompter, yield).outcome,
            SubfolderSelection::Reading::kListed);
  EXPECT_EQ(selection.intNumVisible(), 13);
  SubfolderScrollBar bar = selection.ScrollBar();
  EXPECT_TRUE(bar.visible);
  EXPECT_EQ(bar.maximum, 17);
  EXPECT_EQ(bar.single_step, 1);
  EXPECT_EQ(bar.page_step, 12);

  selection.CheckboxClicked(2, true);  // sub0002
  ASSERT_TRUE(selection.Scrolled(17));
  EXPECT_EQ(selection.VisibleEntry(0).name, "sub0017");
  EXPECT_EQ(selection.VisibleEntry(12).name, "sub0029");
  selection.CheckboxClicked(12, true);  // sub0029
  EXPECT_TRUE(selection.Scrolled(99));  // past the end: the last place
  EXPECT_EQ(selection.intFirstVisible(), 17);
  selection.Scrolled(0);
  EXPECT_TRUE(selection.VisibleEntry(2).checked);
  ASSERT_TRUE(selection.Accept());
  EXPECT_EQ(values.strFoldersReturnedFromSelectFoldersForm,
            "sub0002\r\nsub0029\r\n");
  EXPECT_FALSE(values.blnSomeSubfolderHasSubfolders);
}

TEST(SubfolderSelectionTest, GroupsLargeCountsInTheStatus) {
  TempDir dir;
  MakeSubfolders(dir, 1204);
  SelectSubfoldersValues values;
  values.strTopFolder = dir.folder();
  values.blnOmitTotalFilesize = true;
  SubfolderSelection selection(values, NumberFormat{".", ","});
  RecordingPrompter prompter;
  ScriptedYield yield;
  Read read = ReadDisk(selection, prompter, yield);
  ASSERT_EQ(read.outcome, SubfolderSelection::Reading::kListed);
  // The reading line stops growing at 200 dots more.
  std::string most(kReadingDisk);
  for (int k = 0; k < 200; ++k) most += " .";
  EXPECT_EQ(read.shown.back(), most);
  EXPECT_EQ(read.shown[200], most);
  EXPECT_EQ(selection.entries()[0].label, "sub0000 {1 file and no subfolders}");
  for (int k = 0; k < 3; ++k) selection.CheckboxClicked(k, true);
  EXPECT_EQ(selection.StatusText(), "3 selected (of 1.204).");
}

TEST(SubfolderSelectionTest, CancelStopsTheReadingAndEventsWaitForTheList) {
  TempDir dir;
  MakeSubfolders(dir, 5);
  SelectSubfoldersValues values;
  values.strTopFolder = dir.folder();
  values.blnFolderSelectionAccepted = true;
  SubfolderSelection selection(values);
  RecordingPrompter prompter;
  ScriptedYield yield;
  yield.At(2, [&] {
    // Clicks that arrive while the disk is read.
    EXPECT_FALSE(selection.Accept());
    EXPECT_FALSE(selection.SelectDeselectAll(true));
    selection.Cancel();
  });
  Read read = ReadDisk(selection, prompter, yield);
  EXPECT_EQ(read.outcome, SubfolderSelection::Reading::kCancelled);
  EXPECT_EQ(yield.calls(), 2);
  EXPECT_TRUE(selection.activating());
  EXPECT_FALSE(values.blnFolderSelectionAccepted);
  EXPECT_TRUE(values.strFoldersReturnedFromSelectFoldersForm.empty());
}

TEST(SubfolderSelectionTest, AnUnreadableOrBareTopFolder) {
  TempDir dir;
  SelectSubfoldersValues values;
  values.strTopFolder = dir.Path("gone");
  SubfolderSelection missing(values);
  RecordingPrompter prompter;
  ScriptedYield yield;
  EXPECT_EQ(ReadDisk(missing, prompter, yield).outcome,
            SubfolderSelection::Reading::kTopFolderUnreadable);
  ASSERT_EQ(prompter.boxes().size(), 1u);
  EXPECT_EQ(prompter.boxes()[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(prompter.boxes()[0].title, "Select subfolders");
  EXPECT_EQ(prompter.boxes()[0].text, "Error: No such file or directory");

  // Without subfolders the window keeps reading; only Cancel answers.
  dir.Write("only.txt", "x");
  values.strTopFolder = dir.folder();
  SubfolderSelection bare(values);
  EXPECT_EQ(ReadDisk(bare, prompter, yield).outcome,
            SubfolderSelection::Reading::kNoSubfolders);
  EXPECT_TRUE(bare.activating());
  EXPECT_FALSE(bare.Accept());

  // Accepting with nothing ticked is an accepted empty selection.
  dir.Write("s/x.txt", "x");
  SubfolderSelection one(values);
  ASSERT_EQ(ReadDisk(one, prompter, yield).outcome,
            SubfolderSelection::Reading::kListed);
  ASSERT_TRUE(one.Accept());
  EXPECT_TRUE(values.blnFolderSelectionAccepted);
  EXPECT_EQ(values.strFoldersReturnedFromSelectFoldersForm, "");
  EXPECT_EQ(prompter.boxes().size(), 1u);
}

TEST(SubfolderSelectionTest, ASubfolderWithoutPermissionCannotBeTicked) {
  TempDir dir;
  dir.Write("locked/secret.txt", "x");
  dir.Write("open/a.txt", "x");
  testing::AllowEveryone(dir.path());
  ::chmod(dir.Path("open").c_str(), 0755);
  ::chmod(dir.Path("locked").c_str(), 0);
  int failures = testing::RunUnprivileged([&] {
    SelectSubfoldersValues values;
    values.strTopFolder = dir.folder();
    values.strFoldersPassedToSelectFoldersForm = "locked\r\nopen\r\n";
    SubfolderSelection selection(values);
    RecordingPrompter prompter;
    ScriptedYield yield;
    int failed = 0;
    if (ReadDisk(selection, prompter, yield).outcome !=
        SubfolderSelection::Reading::kListed) {
      return 1;
    }
    const std::vector<SubfolderEntry>& entries = selection.entries();
    if (entries.size() != 2) return 2;
    if (entries[0].label != "locked {Permission denied}") failed |= 4;
    if (entries[0].checked || !entries[1].checked) failed |= 8;
    if (selection.CheckboxClicked(0, true)) failed |= 16;
    selection.SelectDeselectAll(true);
    if (entries[0].checked) failed |= 32;
    if (selection.StatusText() != "One subfolder selected.") failed |= 64;
    return failed;
  });
  ::chmod(dir.Path("locked").c_str(), 0755);
  EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace orvane
