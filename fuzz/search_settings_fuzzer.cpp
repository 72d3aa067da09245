// A Search Module settings file (*.usrs) as a text editor, another module
// or a damaged disk left it. What reads in full and can be saved again must
// read back to the same settings.
#include <cstdlib>

#include "engine/search/search_settings_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane;
  const std::string path =
      fuzz::WriteScratchFile("fuzz.usrs", fuzz::AsText(data, size));
  SearchSettings read;
  if (ReadSearchSettingsFile(path, &read) != SearchSettingsRead::kRead) {
    return 0;
  }
  const std::string again = fuzz::WriteScratchFile("again.usrs", "");
  if (!WriteSearchSettingsFile(again, read).ok()) return 0;
  SearchSettings back;
  if (ReadSearchSettingsFile(again, &back) != SearchSettingsRead::kRead ||
      back.cboSearchType != read.cboSearchType ||
      back.txbMaxNumExtracts != read.txbMaxNumExtracts ||
      back.cboSizeOfExtract != read.cboSizeOfExtract ||
      back.chkSortMatches != read.chkSortMatches ||
      back.chkGenerateHTML != read.chkGenerateHTML ||
      back.chkDisplayDescriptions != read.chkDisplayDescriptions ||
      back.chkDisplayFilepaths != read.chkDisplayFilepaths ||
      back.chkOnQuitDeleteDataFile != read.chkOnQuitDeleteDataFile ||
      back.txbIndexFile != read.txbIndexFile ||
      back.txbTopFolder != read.txbTopFolder ||
      back.project_title != read.project_title ||
      back.optHTMLReport != read.optHTMLReport ||
      back.optSearchSingleFile != read.optSearchSingleFile ||
      back.txbSingleFile != read.txbSingleFile ||
      back.txbSearchWords != read.txbSearchWords) {
    std::abort();  // saved settings do not read back as they were
  }
  return 0;
}
