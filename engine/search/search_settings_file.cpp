#include "engine/search/search_settings_file.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>

#include "engine/common/records.h"
#include "engine/common/settings_text.h"
#include "engine/files/folder.h"
#include "engine/format/file_names.h"

namespace orvane {

namespace {

constexpr int kNumLines = 16;

std::string LineOf(bool box) { return RecordLine().AddNumber(box ? 1 : 0).Finish(); }

}  // namespace

std::string DefaultSearchSettingsPath() {
  return GetAppDataFilePath(kDefaultSearchSettingsFile, kAppDataSubfolder);
}

std::string ProposedSettingsFileName(std::string_view index_file) {
  if (index_file.empty()) return std::string();
  std::string_view name = index_file.substr(index_file.rfind('/') + 1);
  // The last 11 characters are the "_index.tavo" ending.
  name = name.substr(0, name.size() > kIndexFileEnding.size()
                            ? name.size() - kIndexFileEnding.size()
                            : 0);
  return std::string(name) + ".usrs";
}

Status WriteSearchSettingsFile(const std::string& path,
                               const SearchSettings& settings) {
  const NamedText quoted[] = {
      {"maximum number of extracts", &settings.txbMaxNumExtracts},
      {"index file", &settings.txbIndexFile},
      {"top folder", &settings.txbTopFolder},
      {"title", &settings.project_title},
      {"single file", &settings.txbSingleFile},
  };
  if (Status refused = RefuseDoubleQuotes(quoted); !refused.ok()) {
    return refused;
  }
  std::string out = RecordLine().AddString(kSearchSettingsHeader).Finish();
  out += RecordLine().AddNumber(static_cast<int>(settings.cboSearchType)).Finish();
  out += RecordLine().AddString(settings.txbMaxNumExtracts).Finish();
  out += RecordLine().AddNumber(settings.cboSizeOfExtract).Finish();
  for (bool box : {settings.chkSortMatches, settings.chkGenerateHTML,
                   settings.chkDisplayDescriptions,
                   settings.chkDisplayFilepaths,
                   settings.chkOnQuitDeleteDataFile}) {
    out += LineOf(box);
  }
  out += RecordLine().AddString(settings.txbIndexFile).Finish();
  out += RecordLine().AddString(settings.txbTopFolder).Finish();
  out += RecordLine().AddString(settings.project_title).Finish();
  out += LineOf(settings.optHTMLReport);
  out += LineOf(!settings.optSearchSingleFile);
  out += RecordLine().AddString(settings.txbSingleFile).Finish();
  // The search words stand unquoted, as typed.
  out += settings.txbSearchWords + "\r\n";
  // Options beyond the sixteen lines follow them only when one is not at
  // its default: a file of defaults stays the sixteen lines, and a reader
  // of the sixteen lines passes over what follows.
  // Line 17: the scores shown; line 18: the sorted list ranked by
  // relevance.
  if (settings.explain_scores || settings.sort_by_relevance) {
    out += LineOf(settings.explain_scores);
  }
  if (settings.sort_by_relevance) out += LineOf(settings.sort_by_relevance);

  return WriteSettingsText(path, out);
}

SearchSettingsRead ReadSearchSettingsFile(const std::string& path,
                                          SearchSettings* settings) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return SearchSettingsRead::kCannotOpen;
  std::ostringstream whole;
  whole << file.rdbuf();
  if (file.bad()) return SearchSettingsRead::kCannotOpen;
  const std::string text = whole.str();
  DelimitedReader reader(text);
  std::string item;
  if (!reader.NextItem(&item) || item != kSearchSettingsHeader) {
    return SearchSettingsRead::kForeign;
  }
  SearchSettings& s = *settings;
  // Line 2 onwards; each case takes one line's field. A value that no
  // control takes stops the reading, as a refused setting of a control
  // would.
  for (int line = 2; line < kNumLines; ++line) {
    if (!reader.NextItem(&item)) return SearchSettingsRead::kRead;
    const std::int32_t number = LeadingNumber(item);
    const bool is_bit = number == 0 || number == 1;
    switch (line) {
      case 2:
        if (number < 0 || number > 2) return SearchSettingsRead::kStopped;
        s.cboSearchType = static_cast<SearchType>(number);
        break;
      case 3:
        s.txbMaxNumExtracts = item;
        break;
      case 4:
        if (number < 0 || number > 8) return SearchSettingsRead::kStopped;
        s.cboSizeOfExtract = static_cast<std::int16_t>(number);
        break;
      case 5:
      case 6:
      case 7:
      case 8:
      case 9: {
        bool* boxes[] = {&s.chkSortMatches, &s.chkGenerateHTML,
                         &s.chkDisplayDescriptions, &s.chkDisplayFilepaths,
                         &s.chkOnQuitDeleteDataFile};
        if (!is_bit) return SearchSettingsRead::kStopped;
        *boxes[line - 5] = number == 1;
        break;
      }
      case 10:
        s.txbIndexFile = item;
        break;
      case 11:
        s.txbTopFolder = item;
        break;
      case 12:
        s.project_title = item;
        break;
      case 13:
        s.optHTMLReport = number == 1;
        break;
      case 14:
        s.optSearchSingleFile = number != 1;
        break;
      case 15:
        s.txbSingleFile = item;
        break;
    }
  }
  // Line 16 is plain text up to its line end: search words with a comma or
  // a quote come back whole.
  std::string_view rest = std::string_view(text).substr(reader.position());
  if (rest.empty()) return SearchSettingsRead::kRead;
  const std::size_t words_end = std::min(rest.find_first_of("\r\n"), rest.size());
  s.txbSearchWords = std::string(rest.substr(0, words_end));
  // Line 17, when present: whether the scores of each file are shown.
  rest.remove_prefix(words_end);
  if (rest.substr(0, 2) == "\r\n") {
    rest.remove_prefix(2);
  } else if (!rest.empty()) {
    rest.remove_prefix(1);
  }
  DelimitedReader options(rest);
  if (!options.NextItem(&item)) return SearchSettingsRead::kRead;
  const std::int32_t explain = LeadingNumber(item);
  if (explain != 0 && explain != 1) return SearchSettingsRead::kStopped;
  s.explain_scores = explain == 1;
  // Line 18, when present: whether a sorted list ranks by relevance.
  if (!options.NextItem(&item)) return SearchSettingsRead::kRead;
  const std::int32_t relevance = LeadingNumber(item);
  if (relevance != 0 && relevance != 1) return SearchSettingsRead::kStopped;
  s.sort_by_relevance = relevance == 1;
  return SearchSettingsRead::kRead;
}

}  // namespace orvane
