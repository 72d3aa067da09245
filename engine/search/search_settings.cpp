#include "engine/search/search_settings.h"

namespace orvane {

std::string_view SearchTypeLabel(SearchType type) {
  switch (type) {
    case SearchType::kAnyWord:
      return "Any word";
    case SearchType::kAllWords:
      return "All words";
    case SearchType::kExactPhrase:
      return "Exact phrase";
  }
  return "All words";
}

int ExtractContextSize(const SearchSettings& settings) {
  return (settings.cboSizeOfExtract + 1) * 10;
}

}  // namespace orvane
