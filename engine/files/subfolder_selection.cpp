#include "engine/files/subfolder_selection.h"

#include <algorithm>

#include "engine/files/folder.h"
#include "engine/text/charset.h"
#include "engine/text/sorting.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

constexpr std::string_view kPermissionDenied = "permission denied";
constexpr std::string_view kNothingInside = "no files and no subfolders";
// The recycle bin of a removable drive carries this name; it is no folder
// of the user's.
constexpr std::string_view kRecycleBin = "$RECYCLE.BIN";

std::string CountPart(std::int32_t count, std::string_view one,
                      std::string_view many, std::string_view none,
                      const NumberFormat& format) {
  if (count == 0) return std::string(none);
  if (count == 1) return "1 " + std::string(one);
  return FormatNumber(count, 0, format) + " " + std::string(many);
}

OV_common::Rgb FromColourValue(std::int32_t value) {
  return {value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF};
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Neither clicking nor "Select all" ticks these.
bool CannotBeClicked(const SubfolderEntry& entry) {
  return Contains(entry.folded_summary, kPermissionDenied) ||
         Contains(entry.folded_summary, kNothingInside);
}

}  // namespace

std::string SubfolderLabel(std::string_view name, const SubfolderCounts& counts,
                           bool omit_size, const NumberFormat& format) {
  std::string label(name);
  label += " {";
  if (counts.files < 0) {
    label += counts.files_error;
  } else if (counts.subfolders < 0) {
    label += counts.subfolders_error;
  } else {
    label += CountPart(counts.files, "file and ", "files and ", "no files and ",
                       format);
    label += CountPart(counts.subfolders, "subfolder", "subfolders",
                       "no subfolders", format);
    if (!omit_size && (counts.files > 0 || counts.subfolders > 0)) {
      label += ", ";
      if (counts.size_is_lower_bound) label += "over ";
      label += FormatByteSize(counts.size, 2, format);
    }
  }
  label += "}";
  // A size without a text (a negative one) leaves ", " before the brace.
  if (label.size() >= 3 && label.compare(label.size() - 3, 3, ", }") == 0) {
    label.erase(label.size() - 3, 2);
  }
  return label;
}

SubfolderWindowColours WindowColours(const SelectSubfoldersValues& values) {
  if (values.lngBackColor == -1) return {{255, 255, 192}, {0, 0, 0}};
  return {FromColourValue(values.lngBackColor),
          FromColourValue(values.lngLabelForeColor)};
}

SubfolderSelection::SubfolderSelection(SelectSubfoldersValues& values,
                                       NumberFormat format)
    : values_(values), format_(std::move(format)) {}

SubfolderEntry SubfolderSelection::ReadEntry(const std::string& top_folder,
                                             const std::string& name) const {
  const std::string path = top_folder + name;
  const bool omit_size = values_.blnOmitTotalFilesize;
  SubfolderEntry entry;
  entry.empty = IsEmptyFolder(path);

  SubfolderCounts counts;
  double folder_size = omit_size ? 0 : -1.0;
  Result<std::int32_t> files =
      CountFilesInFolder(path, "*.*", false, nullptr, &folder_size);
  counts.files = files.ok() ? *files : -1;
  if (!files.ok()) counts.files_error = files.status().message();
  if (counts.files >= 0) {
    std::int32_t error_number = 0;
    counts.subfolders =
        CountSubfolders(path, &counts.subfolders_error, &error_number);
  }
  if (!omit_size) {
    if (counts.subfolders > 0) {
      // The whole tree, but no more than 200 files of it: a huge subfolder
      // costs little and shows its size as a lower bound.
      std::int32_t count = 0;
      std::int16_t limit = kSubfolderSizeFileLimit;
      std::int32_t error_number = 0;
      double tree_size = 0;
      CountFilesInTree(true, path, "*.*", &count, &limit, true, &tree_size,
                       &error_number);
      counts.size = tree_size;
      counts.size_is_lower_bound = limit == -2 || error_number > 0;
    } else if (counts.files >= 0) {
      counts.size = folder_size;
    }
    if (counts.size < 0) counts.size = 0;
  }

  entry.label = SubfolderLabel(name, counts, omit_size, format_);
  entry.size = counts.size;
  const std::size_t brace = entry.label.rfind('{');
  entry.name = TrimSpaces(std::string_view(entry.label).substr(0, brace));
  entry.folded_summary = LowerCaseText(entry.label.substr(brace));
  return entry;
}

SubfolderSelection::Reading SubfolderSelection::ReadDisk(
    Prompter& prompter, Yield& yield,
    const std::function<void(std::string_view)>& show_reading) {
  activating_ = true;
  entries_.clear();
  first_visible_ = 0;
  show_reading(kReadingDisk);

  top_folder_ = values_.strTopFolder;
  AddTrailingBackslash(top_folder_);
  FolderListing listing;
  FolderError error;
  if (!ListFolder(top_folder_, &listing, &error)) {
    prompter.ShowMessage(MessageIcon::kWarning, kSelectSubfoldersErrorTitle,
                         "Error: " + error.description);
    return Reading::kTopFolderUnreadable;
  }
  if (listing.subfolders.empty()) return Reading::kNoSubfolders;

  std::string reading(kReadingDisk);
  for (const std::string& name : listing.subfolders) {
    // The name alone is tested: a top folder that itself lies in a recycle
    // bin still lists its subfolders.
    if (Contains(name, kRecycleBin)) continue;
    entries_.push_back(ReadEntry(top_folder_, name));
    // The dots stop where no window is wide enough to show more: a folder
    // of many thousand subfolders would otherwise redraw a line that grows
    // without end.
    if (reading.size() < kReadingDisk.size() + 2 * kMostReadingDots) {
      reading += " .";
    }
    show_reading(reading);
    yield.ProcessPendingEvents();
    if (cancelled_) return Reading::kCancelled;
  }

  // Each entry's size and flags travel with its label.
  if (entries_.size() > 1) {
    const auto folded = [](const SubfolderEntry& entry) {
      return LowerCaseText(entry.label);
    };
    const int last = static_cast<int>(entries_.size()) - 1;
    QuickSortDescending(entries_, 0, last, folded);
    ReverseRange(entries_, 0, last);
  }
  TickPassedNames();
  activating_ = false;
  return Reading::kListed;
}

void SubfolderSelection::TickPassedNames() {
  if (values_.strFoldersPassedToSelectFoldersForm.empty()) return;
  std::vector<std::string> passed =
      SplitTrimmedLines(values_.strFoldersPassedToSelectFoldersForm);
  for (std::string& name : passed) name = LowerCaseText(name);
  for (SubfolderEntry& entry : entries_) {
    const std::string name = LowerCaseText(entry.name);
    if (std::find(passed.begin(), passed.end(), name) == passed.end()) continue;
    entry.checked =
        !Contains(entry.folded_summary, kPermissionDenied) && !entry.empty;
  }
}

int SubfolderSelection::intNumVisible() const {
  const int boxes = std::max<int>(1, values_.intMaxNumCheckboxes);
  return std::min(intNumSubfolders(), boxes);
}

SubfolderScrollBar SubfolderSelection::ScrollBar() const {
  SubfolderScrollBar bar;
  bar.visible = intNumSubfolders() > intNumVisible();
  if (!bar.visible) return bar;
  bar.maximum = intNumSubfolders() - intNumVisible();
  bar.page_step = std::max(1, values_.intMaxNumCheckboxes - 1);
  return bar;
}

const SubfolderEntry& SubfolderSelection::VisibleEntry(int k) const {
  return entries_[static_cast<std::size_t>(first_visible_ + k)];
}

bool SubfolderSelection::Scrolled(int value) {
  if (activating_) return false;
  first_visible_ = std::clamp(value, 0, ScrollBar().maximum);
  return true;
}

bool SubfolderSelection::CheckboxClicked(int k, bool ticked) {
  if (activating_ || k < 0 || k >= intNumVisible()) return false;
  SubfolderEntry& entry =
      entries_[static_cast<std::size_t>(first_visible_ + k)];
  if (ticked && CannotBeClicked(entry)) ticked = false;
  entry.checked = ticked;
  return ticked;
}

bool SubfolderSelection::SelectDeselectAll(bool select) {
  if (activating_) return false;
  for (SubfolderEntry& entry : entries_) {
    entry.checked = select && !CannotBeClicked(entry);
  }
  return true;
}

std::string SubfolderSelection::StatusText() {
  values_.dblTotalBytesSelected = 0;
  values_.blnOver = false;
  int ticked = 0;
  for (const SubfolderEntry& entry : entries_) {
    if (!entry.checked) continue;
    ++ticked;
    values_.dblTotalBytesSelected += entry.size;
    if (Contains(entry.folded_summary, "over")) values_.blnOver = true;
  }
  if (ticked == 0) return "No subfolders selected.";

  std::string text;
  if (ticked == 1) {
    text = "One subfolder selected.";
  } else if (ticked == intNumSubfolders()) {
    text = "All " + std::to_string(ticked) + " subfolders selected.";
  } else {
    text = FormatNumber(ticked, 0, format_) + " selected (of " +
           FormatNumber(intNumSubfolders(), 0, format_) + ").";
  }
  if (Contains(LowerCaseText(values_.strCaption), "included")) {
    text += "\r\nA total of ";
    if (values_.blnOver) text += "over ";
    text += FormatByteSizeWithGB(values_.dblTotalBytesSelected, 2, format_);
    text += ".";
  }
  return text;
}

bool SubfolderSelection::Accept() {
  if (activating_) return false;
  values_.blnFolderSelectionAccepted = true;
  values_.strFoldersReturnedFromSelectFoldersForm.clear();
  values_.blnSomeSubfolderHasSubfolders = false;
  for (const SubfolderEntry& entry : entries_) {
    if (!entry.checked) continue;
    values_.strFoldersReturnedFromSelectFoldersForm += entry.name + "\r\n";
    if (!values_.blnSomeSubfolderHasSubfolders) {
      std::string error_text;
      std::int32_t error_number = 0;
      values_.blnSomeSubfolderHasSubfolders =
          CountSubfolders(top_folder_ + entry.name + "/", &error_text,
                          &error_number) > 0;
    }
  }
  StatusText();
  return true;
}

void SubfolderSelection::Cancel() {
  values_.blnFolderSelectionAccepted = false;
  cancelled_ = true;
}

}  // namespace orvane
