// The subfolder selection of frmSelectSubfolders: the values its caller sets
// before showing it and reads back after it has closed, and the rules of the
// window without a window: reading the direct subfolders of the top folder
// into labels with their counts and sizes, the ticks (kept here, not in the
// check boxes, which only mirror the visible part of the list), scrolling a
// fixed number of check boxes through the list, the status label and the
// results. The Index Module passes UI text 24 as the caption and 13 check
// boxes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/common_values.h"
#include "engine/common/ports.h"
#include "engine/text/number_text.h"

namespace orvane {

struct SelectSubfoldersValues {
  // Set by the caller before the window is shown.
  std::string strCaption;
  std::string strTopFolder;  // path; its direct subfolders are listed
  std::int16_t intMaxNumCheckboxes = 13;
  // Names to show ticked, each followed by CR LF; empty for none.
  std::string strFoldersPassedToSelectFoldersForm;
  bool blnOmitTotalFilesize = false;  // true: no sizes are read or shown
  // Background of the window and its labels as 0x00BBGGRR; -1 is the light
  // yellow of the window with black label text, which the Index Module
  // keeps. lngLabelForeColor is the label text colour otherwise.
  std::int32_t lngBackColor = -1;
  std::int32_t lngLabelForeColor = 0;

  // Read by the caller after the window has closed.
  bool blnFolderSelectionAccepted = false;  // only after cmdAccept
  // Names of the ticked subfolders in list order, each followed by CR LF.
  std::string strFoldersReturnedFromSelectFoldersForm;
  bool blnSomeSubfolderHasSubfolders = false;
  double dblTotalBytesSelected = 0;
  bool blnOver = false;  // some ticked size is a lower bound ("over ")
};

// Texts of the window.
inline constexpr std::string_view kReadingDisk = "Reading disk . . .";
inline constexpr std::string_view kSelectSubfoldersErrorTitle =
    "Select subfolders";
inline constexpr std::string_view kCloseBoxTitle = "Select Folders";
inline constexpr std::string_view kCloseBoxText =
    "Please exit this window only by clicking on 'Accept' or 'Cancel'.";
inline constexpr std::string_view kDeselectAllCaption = "Deselect all";
inline constexpr std::string_view kSelectAllCaption = "Select all";
inline constexpr std::string_view kAcceptCaption = "Accept";
inline constexpr std::string_view kCancelCaption = "Cancel";

// A tree count stops after this many files; the size is then a lower bound.
inline constexpr std::int16_t kSubfolderSizeFileLimit = 200;
// The most " ." that follow kReadingDisk while the subfolders are read.
inline constexpr std::size_t kMostReadingDots = 200;

// What the counts of one subfolder found, for its label.
struct SubfolderCounts {
  std::int32_t files = 0;        // -1: the folder could not be read
  std::string files_error;       // the error's description then
  std::int32_t subfolders = 0;   // -1: could not be counted
  std::string subfolders_error;  // "Error: " and the description then
  double size = 0;               // bytes
  bool size_is_lower_bound = false;
};

// The label of one subfolder: name " {" counts [", " ["over "] size] "}",
// for example "docs {12 files and 3 subfolders, 1.25 MB}" or
// "tmp {no files and no subfolders}"; a failed count puts its error text
// between the braces instead. With omit_size no size is shown.
std::string SubfolderLabel(std::string_view name, const SubfolderCounts& counts,
                           bool omit_size, const NumberFormat& format = {});

// The window's background and label colours as the values ask for them.
struct SubfolderWindowColours {
  OV_common::Rgb back;
  OV_common::Rgb label_text;
};
SubfolderWindowColours WindowColours(const SelectSubfoldersValues& values);

// One listed subfolder.
struct SubfolderEntry {
  std::string label;   // as SubfolderLabel makes it
  std::string name;    // the label before its last "{", trimmed of spaces
  double size = 0;     // the size the label shows; 0 when none
  bool empty = false;  // no files and no subfolders, or unreadable
  bool checked = false;
  // The label's part from its last "{" on, folded to lower case: the tick
  // rules and the lower-bound mark look only here, so that a subfolder's
  // name ("overview", "permission denied") never decides them.
  std::string folded_summary;
};

// The scroll bar beside the check boxes.
struct SubfolderScrollBar {
  bool visible = false;  // only when there are more entries than boxes
  int maximum = 0;       // the range is 0 .. maximum
  int single_step = 1;
  int page_step = 1;
};

class SubfolderSelection {
 public:
  // values must outlive the selection; the results are written into it.
  explicit SubfolderSelection(SelectSubfoldersValues& values,
                              NumberFormat format = {});

  enum class Reading {
    kListed,               // the list is complete; the user may tick
    kNoSubfolders,         // nothing to list; only Cancel answers
    kTopFolderUnreadable,  // the warning has been shown; hide the window
    kCancelled,            // Cancel (or the close box) stopped the reading
  };

  // Reads the direct subfolders of strTopFolder (skipping "$RECYCLE.BIN"),
  // sorts them by label ignoring case and ticks the passed names that may
  // be ticked. show_reading gets "Reading disk . . ." and then one " ." more
  // after each subfolder (up to kMostReadingDots); yield runs after each subfolder, and a Cancel()
  // from inside it stops the reading at once. An unreadable top folder is
  // told through prompter (warning, "Select subfolders").
  Reading ReadDisk(Prompter& prompter, Yield& yield,
                   const std::function<void(std::string_view)>& show_reading);

  // True from construction until ReadDisk has completed the list: the
  // events below (but Cancel) are then ignored and return false.
  bool activating() const { return activating_; }
  bool cancelled() const { return cancelled_; }

  const std::vector<SubfolderEntry>& entries() const { return entries_; }
  int intNumSubfolders() const { return static_cast<int>(entries_.size()); }
  // The number of check boxes in use: min(entries, intMaxNumCheckboxes).
  int intNumVisible() const;
  int intFirstVisible() const { return first_visible_; }
  SubfolderScrollBar ScrollBar() const;
  // The entry that check box k (0 .. intNumVisible() - 1) shows.
  const SubfolderEntry& VisibleEntry(int k) const;

  // The scroll bar moved: check box k now shows entry value + k.
  bool Scrolled(int value);
  // Check box k was clicked into the state ticked. Returns the state the
  // box must show: a subfolder that is unreadable for lack of permission
  // or empty is unticked again.
  bool CheckboxClicked(int k, bool ticked);
  // cmdSelectDeselectAllSubfolders: ticks (select) or unticks every entry
  // but those that cannot be ticked.
  bool SelectDeselectAll(bool select);

  // The text of lblNumSubfolders; sets dblTotalBytesSelected and blnOver of
  // the values to the ticked entries'. With a caption that speaks of
  // "included" subfolders, a second line gives their total size.
  std::string StatusText();

  // cmdAccept: the ticked names, whether one of them has subfolders, and
  // blnFolderSelectionAccepted. Ignored (false) while activating.
  bool Accept();
  // cmdCancel: not accepted; stops a reading of the disk.
  void Cancel();

 private:
  SubfolderEntry ReadEntry(const std::string& top_folder,
                           const std::string& name) const;
  void TickPassedNames();

  SelectSubfoldersValues& values_;
  NumberFormat format_;
  std::vector<SubfolderEntry> entries_;
  std::string top_folder_;  // in folder form
  int first_visible_ = 0;
  bool activating_ = true;
  bool cancelled_ = false;
};

}  // namespace orvane
