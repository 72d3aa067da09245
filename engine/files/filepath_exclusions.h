// The list of filepath exclusions: pieces of text such that a file whose
// path contains any of them is not indexed. The Index Module keeps the list
// on one line, items joined by ", "; its editor shows one item a line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Texts of the editor frmFilepathExclusions.
inline constexpr std::string_view kFilepathExclusionsCaption =
    "Filepath exclusions";
inline constexpr std::string_view kFilepathExclusionsExplanation =
    "Files whose filepaths contain any of the following characters strings "
    "are currently excluded. Strings may be added (one per line) or deleted.";
inline constexpr std::string_view kConfirmExclusionsCaption = "Confirm";
inline constexpr std::string_view kCancelExclusionsCaption = "Cancel";

// Where the editor goes, in twips of the screen: its right edge 160 twips
// inside the Index Module window's right edge, its top 480 twips below the
// Index Module window's top.
struct EditorPosition {
  std::int32_t left = 0;
  std::int32_t top = 0;
  bool operator==(const EditorPosition&) const = default;
};
EditorPosition PlaceFilepathExclusions(std::int32_t index_left,
                                       std::int32_t index_top,
                                       std::int32_t index_width,
                                       std::int32_t editor_width);

// The items of the one-line list: split at every ",", each trimmed of
// spaces; empty items (",," or a comma at the end) are dropped.
std::vector<std::string> SplitExcludedFilepaths(std::string_view list);

// The editor's text for the one-line list: its items sorted ignoring case,
// one a line, lines separated by CR LF, no line break after the last.
std::string FilepathExclusionsToLines(std::string_view list);

// What confirming the editor gives.
struct CleanedFilepathExclusions {
  // The editor's text with every "\" turned into "/", the separator of
  // paths here, as the editor shows it after the confirmation.
  std::string lines;
  // The new one-line list: the lines trimmed, empty ones dropped, sorted
  // ignoring case, of items equal but for case only the first kept, joined
  // by ", ".
  std::string list;
};

CleanedFilepathExclusions CleanFilepathExclusions(std::string_view lines);

}  // namespace orvane
