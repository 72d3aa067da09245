#include "engine/search/indexed_files_listing.h"

#include <string>
#include <vector>

#include "engine/search/found_files.h"
#include "engine/search/index_loading.h"
#include "engine/text/number_text.h"
#include "engine/text/sorting.h"

namespace orvane {

namespace {

constexpr std::string_view kButtonCaption = "List indexed files";

}  // namespace

bool ListIndexedFiles(const SearchSettings& settings, SearchState* state,
                      SearchPorts& ports) {
  if (settings.txbIndexFile.empty()) {
    ShowNotSpecified(ports.prompter, "Index file");
    return false;
  }
  LoadedIndex& index = state->index;
  if (!index.blnDataFileReady) {
    state->results.Set("Now reading index file ...");
    state->results.Repaint();
    LoadIndexFile(settings.txbIndexFile, &index, ports, state->results);
    state->results.Clear();
    state->results.Repaint();
    if (!index.blnDataFileReady) {
      ports.prompter.ShowMessage(MessageIcon::kWarning, kButtonCaption,
                                 "Cannot list the files which were indexed\r\n"
                                 "because the index file could not be read.");
      return false;
    }
  }
  if (index.intNumFiles == 1) {
    ports.prompter.ShowMessage(MessageIcon::kInformation, kButtonCaption,
                               "Only one file was indexed:\r\n" +
                                   std::string(index.FilePath(0)));
    return true;
  }

  LargeDisplay& display = ports.display;
  display.SetReadOnly(true);
  display.SetCopyButtonCaption("Pause");
  display.SetBufferFullMessage("THE FILE LIST BUFFER IS FULL.");
  display.Clear();

  // A work copy: the store's order of files is their numbers.
  std::vector<std::string> files;
  files.reserve(static_cast<std::size_t>(index.intNumFiles));
  for (std::int32_t k = 0; k < index.intNumFiles; ++k) {
    files.emplace_back(index.FilePath(static_cast<std::uint32_t>(k)));
  }
  const bool by_folder = settings.optByFolder;
  if (!by_folder && files.size() >= 2) {
    SortAscendingFolded(files, 0, static_cast<int>(files.size()) - 1, true);
  }
  display.Clear();
  display.Show();
  const std::string count =
      FormatNumber(index.intNumFiles, 0, ports.number_format);
  display.SetCaption(by_folder ? "Listing by folder of the filepaths of the " +
                                     count + " indexed files"
                               : "Alphabetical listing of the filepaths of the " +
                                     count + " indexed files");
  display.Output(
      "The file(path)s given below are relative to the top folder "
      "at the time the index file was created.  "
      "Be sure to set the top folder to the one currently "
      "containing the files to be searched.",
      2, false);
  display.DisplayArray(files, 0, static_cast<std::int32_t>(files.size()) - 1,
                       "That's all.", by_folder);
  display.SetCopyButtonCaption("Copy to clipboard");
  return true;
}

}  // namespace orvane
