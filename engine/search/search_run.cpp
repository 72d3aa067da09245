#include "engine/search/search_run.h"

#include <sys/stat.h>

#include "engine/search/data_file.h"
#include "engine/search/found_files.h"
#include "engine/text/binary_search.h"
#include "engine/text/charset.h"
#include "engine/text/file_checks.h"
#include "engine/text/markup.h"
#include "engine/text/sorting.h"

namespace orvane {

namespace {

constexpr std::size_t kSortKeyWidth = 9;

void SetSearchCaption(SearchState* state, SearchPorts& ports,
                      std::string_view caption) {
  state->search_button_caption = std::string(caption);
  ports.view.SetText("cmdSearch", caption);
}

// The score right-aligned in nine characters, then the relative path: a
// descending sort puts higher scores first and, among equal scores, the
// greater path first.
std::string SortKey(std::int32_t score, const std::string& relative_path) {
  std::string digits = std::to_string(score);
  std::string key;
  if (digits.size() < kSortKeyWidth) {
    key.assign(kSortKeyWidth - digits.size(), ' ');
  }
  key += digits;
  key += relative_path;
  return key;
}

bool Quitting(const SearchPorts& ports) { return ports.launcher.blnQuit; }

// FileExists for the path of a matching file, without making a
// std::filesystem::path of it: a search may test thousands.
bool RegularFileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 &&
         S_ISREG(st.st_mode);
}

// The relative path of the single file, and its index in the file list
// (exact comparison), or -1.
std::int32_t SingleFileIndex(const SearchSettings& settings,
                             const LoadedIndex& index) {
  if (settings.txbSingleFile.size() < settings.txbTopFolder.size()) return -1;
  std::string_view relative =
      std::string_view(settings.txbSingleFile).substr(settings.txbTopFolder.size());
  for (std::size_t k = 0; k < index.strFileList.size(); ++k) {
    if (index.strFileList[k] == relative) return static_cast<std::int32_t>(k);
  }
  return -1;
}

}  // namespace

std::int32_t FindWordRow(const LoadedIndex& index, std::string_view word) {
  std::int32_t position = 0;
  bool found = FindInSorted(
      word, index.lexicon, static_cast<std::int32_t>(index.lexicon.size()),
      [&](const SearchLexiconEntry& e) {
        return std::string_view(index.lexicon_words)
            .substr(e.word_offset, e.word_length);
      },
      &position);
  if (!found) return -1;
  return index.lexicon[static_cast<std::size_t>(position - 1)].lngWordNumber;
}

bool CheckTopFolder(const SearchSettings& settings, SearchState* state) {
  for (const std::string& entry : state->index.strFileList) {
    if (entry.size() >= 10 &&
        LowerCaseText(std::string_view(entry).substr(entry.size() - 10)) ==
            "index.html") {
      continue;
    }
    if (FileExists(settings.txbTopFolder + entry)) {
      state->blnTopFolderChecked = true;
      return true;
    }
  }
  return false;
}

bool IsFileCountLimitReached(const SearchState& state) {
  return state.intNumFilesFound == kMaxFilesFound;
}

void DisplayNoFilesFound(const SearchSettings& settings, SearchState* state) {
  std::string_view text;
  const bool single = settings.optSearchSingleFile;
  switch (settings.cboSearchType) {
    case SearchType::kAnyWord:
      text = single ? "The file does not contain any of the search words."
                    : "No file contains any of the search words.";
      break;
    case SearchType::kAllWords:
      text = single ? "The file does not contain all the search words."
                    : "No file contains all the search words.";
      break;
    case SearchType::kExactPhrase:
      text = single ? "The file does not contain that phrase."
                    : "No file contains that phrase.";
      break;
  }
  state->results.Set(std::string(text) + "\r\n");
}

SearchRunOutcome RunSearch(const SearchSettings& settings, SearchState* state,
                     SearchPorts& ports) {
  const LoadedIndex& index = state->index;
  ports.view.SetText("lblNumFilesFound", "");
  state->results.Set("\r\nNow searching ...");
  state->results.Repaint();
  state->extract_builder.ClearExtracts();
  state->intNumFilesFound = 0;
  state->strFilesFound.clear();
  state->strFileTitles.clear();
  state->strFileDescriptions.clear();

  const bool single = settings.optSearchSingleFile;
  const std::int32_t single_index = single ? SingleFileIndex(settings, index) : -1;
  SearchType type = settings.cboSearchType;
  const std::size_t num_files = index.strFileList.size();

  // Looks each word up; under "All words" and "Exact phrase" a word missing
  // from the lexicon means that no file can match.
  bool no_match = false;
  state->search_words.clear();
  for (const std::string& word : state->strSearchWords) {
    SearchWordEntry entry;
    entry.strWord = word;
    entry.lngWordNumber = FindWordRow(index, word);
    state->search_words.push_back(std::move(entry));
    ports.yield.ProcessPendingEvents();
    if (Quitting(ports)) return SearchRunOutcome::kQuit;
    if (state->search_words.back().lngWordNumber == -1 &&
        type != SearchType::kAnyWord) {
      no_match = true;
      break;
    }
  }
  if (state->search_words.size() == 1 &&
      state->search_words[0].lngWordNumber == -1) {
    no_match = true;
  }

  std::vector<std::int32_t>& counts = state->intFileMatchCounts;
  counts.assign(num_files, 0);
  if (!no_match) {
    DataFileReader data;
    bool read = data.Open(index.strDataFile);
    for (SearchWordEntry& entry : state->search_words) {
      entry.row.assign(1, 0);
      if (read && entry.lngWordNumber >= 1) {
        read = data.ReadRow(entry.lngWordNumber, index.intNumFiles, &entry.row);
      }
      if (!read) break;
      ports.yield.ProcessPendingEvents();
      if (Quitting(ports)) return SearchRunOutcome::kQuit;
    }
    if (!read) {
      // The data file changed or vanished since it was checked: it is
      // built again at the next search.
      state->index.blnDataFileReady = false;
      SetSearchCaption(state, ports, "Search");
      state->results.Clear();
      ports.prompter.ShowMessage(
          MessageIcon::kError, "Error",
          "Error when reading the data file " + index.strDataFile +
              ".\r\nIt will be created again at the next search.");
      return SearchRunOutcome::kFailed;
    }

    state->blnStop = false;
    SetSearchCaption(state, ports, "Stop");
    if (state->search_words.size() == 1) type = SearchType::kAnyWord;

    std::size_t first = 0;
    std::size_t last = num_files;  // one past the last
    if (single) {
      if (single_index < 0) {
        last = 0;
      } else {
        first = static_cast<std::size_t>(single_index);
        last = first + 1;
      }
    }
    ExtractBuilder& verifier = state->extract_builder;
    for (std::size_t k = first; k < last; ++k) {
      std::int32_t score = 0;
      if (type == SearchType::kAnyWord) {
        for (const SearchWordEntry& entry : state->search_words) {
          if (entry.lngWordNumber < 1) continue;
          std::uint8_t b = entry.row[k];
          // Without sorting only the fact of a match matters.
          bool decided = false;
          if (b > 0) {
            score += b;
            decided = !settings.chkSortMatches;
          }
          ports.yield.ProcessPendingEvents();
          if (Quitting(ports)) return SearchRunOutcome::kQuit;
          if (decided) break;
        }
        counts[k] = score;
        continue;
      }
      for (const SearchWordEntry& entry : state->search_words) {
        std::uint8_t b = entry.row[k];
        if (b == 0) {
          score = 0;
          break;
        }
        score += b;
      }
      if (type == SearchType::kExactPhrase && score > 0) {
        // Paths are used exactly as found: the top folder is not folded.
        std::string full_path = settings.txbTopFolder + index.strFileList[k];
        if (RegularFileExists(full_path)) {
          state->results.Set("Now searching file #" + std::to_string(k + 1) +
                             " for exact phrase.");
          state->results.Repaint();
          verifier.options.search_words = state->strSearchWords;
          verifier.options.exact_phrase = true;
          verifier.options.verify_mode = true;
          verifier.phrase_found = false;
          verifier.BuildExtracts(full_path);
          verifier.options.verify_mode = false;
          if (!verifier.phrase_found) score = 0;
        } else {
          score = 0;
        }
      }
      counts[k] = score;
      ports.yield.ProcessPendingEvents();
      // Quitting ends the run here too: the exact-phrase confirmation of a
      // large tree reads many files.
      if (Quitting(ports)) return SearchRunOutcome::kQuit;
      if (state->blnStop) break;
    }

    // Recording and listing.
    if (!settings.chkSortMatches) {
      for (std::size_t k = 0; k < num_files; ++k) {
        if (counts[k] <= 0) continue;
        const std::string& relative = index.strFileList[k];
        // The file is opened once: to see that it is there, and to read
        // the title that its line shows.
        FileHead head(settings.txbTopFolder + relative);
        if (head.exists()) {
          state->strFilesFound.push_back(relative);
          if (!ShowFoundFile(state->intNumFilesFound, settings, state, ports,
                             head)) {
            break;
          }
          ++state->intNumFilesFound;
          if (IsFileCountLimitReached(*state)) break;
        }
        ports.yield.ProcessPendingEvents();
        if (Quitting(ports)) return SearchRunOutcome::kQuit;
        if (state->blnStop) {
          state->results.Append("Search terminated.");
          break;
        }
      }
    } else {
      std::vector<std::string> keys;
      for (std::size_t k = 0; k < num_files; ++k) {
        if (counts[k] <= 0) continue;
        const std::string& relative = index.strFileList[k];
        if (!RegularFileExists(settings.txbTopFolder + relative)) continue;
        keys.push_back(SortKey(counts[k], relative));
        if (static_cast<std::int16_t>(keys.size()) == kMaxFilesFound) break;
      }
      state->intNumFilesFound = static_cast<std::int16_t>(keys.size());
      if (keys.size() >= 2) {
        SortDescending(keys, 0, static_cast<int>(keys.size()) - 1);
      }
      for (std::string& key : keys) {
        state->strFilesFound.push_back(key.substr(kSortKeyWidth));
      }
      state->strFileTitles.resize(keys.size());
      state->strFileDescriptions.resize(keys.size());
      for (std::int16_t i = 0; i < state->intNumFilesFound; ++i) {
        if (!ShowFoundFile(i, settings, state, ports)) break;
        ports.yield.ProcessPendingEvents();
        if (Quitting(ports)) return SearchRunOutcome::kQuit;
        if (state->blnStop) {
          state->results.Append("Listing terminated.");
          break;
        }
      }
    }
  }

  // Ending.
  SetSearchCaption(state, ports, "Search");
  if (!single) {
    ports.view.SetText("lblNumFilesFound",
                       "Number of files found with matches: " +
                           std::to_string(state->intNumFilesFound));
  } else {
    ports.view.SetText("lblNumFilesFound",
                       state->intNumFilesFound > 0 ? "Found" : "Not found");
  }
  ports.view.Repaint();
  if (state->intNumFilesFound == 0) {
    DisplayNoFilesFound(settings, state);
  } else if (IsFileCountLimitReached(*state)) {
    state->results.Append("\r\nMaximum number of files reached (" +
                          std::to_string(kMaxFilesFound) + ").\r\n");
  }
  return SearchRunOutcome::kFinished;
}

}  // namespace orvane
