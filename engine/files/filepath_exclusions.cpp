#include "engine/files/filepath_exclusions.h"

#include "engine/text/sorting.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

std::string Join(const std::vector<std::string>& items,
                 std::string_view separator) {
  std::string joined;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) joined.append(separator);
    joined.append(items[i]);
  }
  return joined;
}

void SortIgnoringCase(std::vector<std::string>& items) {
  if (items.size() > 1) {
    SortAscendingFolded(items, 0, static_cast<int>(items.size()) - 1, true);
  }
}

}  // namespace

std::vector<std::string> SplitExcludedFilepaths(std::string_view list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) comma = list.size();
    std::string item = TrimSpaces(list.substr(start, comma - start));
    if (!item.empty()) items.push_back(std::move(item));
    start = comma + 1;
  }
  return items;
}

std::string FilepathExclusionsToLines(std::string_view list) {
  std::vector<std::string> items = SplitExcludedFilepaths(list);
  SortIgnoringCase(items);
  return Join(items, "\r\n");
}

CleanedFilepathExclusions CleanFilepathExclusions(std::string_view lines) {
  CleanedFilepathExclusions cleaned;
  cleaned.lines = ReplaceAll(lines, "\\", "/");
  std::vector<std::string> items = SplitTrimmedLines(cleaned.lines);
  SortIgnoringCase(items);
  RemoveDuplicateEntries(items, true);
  RemoveEmptyEntries(items);
  cleaned.list = Join(items, ", ");
  return cleaned;
}

EditorPosition PlaceFilepathExclusions(std::int32_t index_left,
                                       std::int32_t index_top,
                                       std::int32_t index_width,
                                       std::int32_t editor_width) {
  return {index_left + index_width - editor_width - 160, index_top + 480};
}

}  // namespace orvane
