#include "engine/search/search_controls.h"

#include <initializer_list>
#include <iterator>

namespace orvane {

namespace {

constexpr std::string_view kCommandKinds[] = {
    // buttons
    "cmdIndexFile", "cmdTopFolder", "cmdSpecifyFile", "cmdListIndexedFiles",
    "cmdSearch", "cmdWhyNotFound", "cmdGenerateHTML", "cmdSettings",
    "cmdCopyToClipboard",
    "cmdClear[0]", "cmdClear[1]", "cmdClear[2]", "cmdClear[3]", "cmdClear[4]",
    "cmdQuit",
    // check boxes
    "chkSortMatches", "chkSortByRelevance", "chkGenerateHTML", "chkDisplayDescriptions",
    "chkDisplayFilepaths", "chkExplainScores", "chkOnQuitDeleteDataFile",
    // option buttons
    "optSearchAllFiles", "optSearchSingleFile", "optByFolder",
    "optAlphabetically", "optHTMLReport", "optTextReport",
    // combo boxes
    "cboSearchType", "cboSizeOfExtract", "cboSettings"};

constexpr std::string_view kFrames[] = {
    "fraListIndexedFilesBy", "fraReport"};

constexpr std::string_view kTextBoxes[] = {
    "txbIndexFile",   "txbTopFolder", "txbSingleFile",
    "txbSearchWords", "txbFiles",     "txbMaxNumExtracts"};

constexpr std::string_view kLabels[] = {
    "lblNumFilesFound", "lblSearchableWords", "lblTitle[0]",      "lblTitle[1]",
    "lblLeaveBlank",    "lblUserManualURL",   "lblOrvaneSystems", "lblStatus"};

}  // namespace

void SetSearchControlsEnabled(ViewState& view, bool enabled, bool frames,
                              bool text_boxes, bool labels) {
  for (std::string_view name : kCommandKinds) view.SetEnabled(name, enabled);
  if (frames) {
    for (std::string_view name : kFrames) view.SetEnabled(name, enabled);
  }
  if (text_boxes) {
    for (std::string_view name : kTextBoxes) view.SetEnabled(name, enabled);
  }
  if (labels) {
    for (std::string_view name : kLabels) view.SetEnabled(name, enabled);
  }
  view.Repaint();
}

std::vector<std::string_view> SearchControlNames() {
  std::vector<std::string_view> names(std::begin(kCommandKinds),
                                      std::end(kCommandKinds));
  names.insert(names.end(), std::begin(kFrames), std::end(kFrames));
  names.insert(names.end(), std::begin(kTextBoxes), std::end(kTextBoxes));
  names.insert(names.end(), std::begin(kLabels), std::end(kLabels));
  return names;
}

}  // namespace orvane
