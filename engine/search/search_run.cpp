#include "engine/search/search_run.h"

#include <sys/stat.h>

#include <optional>

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

namespace {

// Lets the window system process pending input (a click on Stop or Quit is
// handled inside it), then reads the search's flags: every loop of the
// search tests them through this.
RunFlags LetWindowSystemRun(const SearchState& state, SearchPorts& ports) {
  ports.yield.ProcessPendingEvents();
  return RunFlags{ports.launcher.blnQuit, state.blnStop};
}

// The results of the last search go; "Now searching ..." shows.
void ClearLastSearch(SearchState* state, SearchPorts& ports) {
  ports.view.SetText("lblNumFilesFound", "");
  state->results.Set("\r\nNow searching ...");
  state->results.Repaint();
  state->extract_builder.ClearExtracts();
  state->intNumFilesFound = 0;
  state->strFilesFound.clear();
  state->strFileTitles.clear();
  state->strFileDescriptions.clear();
}

enum class LookUp {
  kMatchPossible,
  kNoMatch,  // a word that every match needs is not in the lexicon
  kQuit,
};

// Looks each word up; under "All words" and "Exact phrase" a word missing
// from the lexicon means that no file can match.
LookUp LookUpWords(SearchType type, SearchState* state, SearchPorts& ports) {
  state->search_words.clear();
  for (const std::string& word : state->strSearchWords) {
    SearchWordEntry entry;
    entry.strWord = word;
    entry.lngWordNumber = FindWordRow(state->index, word);
    state->search_words.push_back(std::move(entry));
    if (LetWindowSystemRun(*state, ports).quit) return LookUp::kQuit;
    if (state->search_words.back().lngWordNumber == -1 &&
        type != SearchType::kAnyWord) {
      return LookUp::kNoMatch;
    }
  }
  if (state->search_words.size() == 1 &&
      state->search_words[0].lngWordNumber == -1) {
    return LookUp::kNoMatch;
  }
  return LookUp::kMatchPossible;
}

// Reads the row of scores of every word found in the lexicon (a word that
// is not there keeps a row of one 0). Returns the outcome that ends the
// search early, or nothing when every row was read.
std::optional<SearchRunOutcome> ReadWordRows(SearchState* state,
                                             SearchPorts& ports) {
  const LoadedIndex& index = state->index;
  DataFileReader data;
  bool read = data.Open(index.strDataFile);
  for (SearchWordEntry& entry : state->search_words) {
    entry.row.assign(1, 0);
    if (read && entry.lngWordNumber >= 1) {
      read = data.ReadRow(entry.lngWordNumber, index.intNumFiles, &entry.row);
    }
    if (!read) break;
    if (LetWindowSystemRun(*state, ports).quit) return SearchRunOutcome::kQuit;
  }
  if (read) return std::nullopt;
  // The data file changed or vanished since it was checked: it is built
  // again at the next search.
  state->index.blnDataFileReady = false;
  SetSearchCaption(state, ports, "Search");
  state->results.Clear();
  ports.prompter.ShowMessage(
      MessageIcon::kError, "Error",
      "Error when reading the data file " + index.strDataFile +
          ".\r\nIt will be created again at the next search.");
  return SearchRunOutcome::kFailed;
}

// The "Any word" score of file k: the sum of its words' scores, or, when
// the files are not sorted, the first score above 0 (only the fact of a
// match matters then). Nothing when the user quit.
std::optional<std::int32_t> AnyWordScore(std::size_t k,
                                         const SearchSettings& settings,
                                         SearchState* state,
                                         SearchPorts& ports) {
  std::int32_t score = 0;
  for (const SearchWordEntry& entry : state->search_words) {
    if (entry.lngWordNumber < 1) continue;
    std::uint8_t b = entry.row[k];
    bool decided = false;
    if (b > 0) {
      score += b;
      decided = !settings.chkSortMatches;
    }
    if (LetWindowSystemRun(*state, ports).quit) return std::nullopt;
    if (decided) break;
  }
  return score;
}

// The "All words" score of file k: the sum of its words' scores, or 0
// when one of them is absent.
std::int32_t AllWordsScore(std::size_t k, const SearchState& state) {
  std::int32_t score = 0;
  for (const SearchWordEntry& entry : state.search_words) {
    std::uint8_t b = entry.row[k];
    if (b == 0) return 0;
    score += b;
  }
  return score;
}

// Whether file k holds the words as an exact phrase: the file is read.
bool ConfirmPhrase(std::size_t k, const SearchSettings& settings,
                   SearchState* state) {
  // Paths are used exactly as found: the top folder is not folded.
  std::string full_path = settings.txbTopFolder + state->index.strFileList[k];
  if (!RegularFileExists(full_path)) return false;
  state->results.Set("Now searching file #" + std::to_string(k + 1) +
                     " for exact phrase.");
  state->results.Repaint();
  return state->extract_builder.ContainsPhrase(full_path,
                                               state->strSearchWords);
}

// Combines the rows per file by the search type into
// state->intFileMatchCounts; only the single file when one is searched.
// Returns kQuit when the user quit, nothing otherwise (a click on Stop
// ends the scoring with the files scored so far).
std::optional<SearchRunOutcome> ScoreFiles(const SearchSettings& settings,
                                           SearchType type,
                                           SearchState* state,
                                           SearchPorts& ports) {
  const std::size_t num_files = state->index.strFileList.size();
  std::vector<std::int32_t>& counts = state->intFileMatchCounts;
  std::size_t first = 0;
  std::size_t last = num_files;  // one past the last
  if (settings.optSearchSingleFile) {
    const std::int32_t single_index = SingleFileIndex(settings, state->index);
    if (single_index < 0) {
      last = 0;
    } else {
      first = static_cast<std::size_t>(single_index);
      last = first + 1;
    }
  }
  for (std::size_t k = first; k < last; ++k) {
    if (type == SearchType::kAnyWord) {
      std::optional<std::int32_t> score =
          AnyWordScore(k, settings, state, ports);
      if (!score) return SearchRunOutcome::kQuit;
      counts[k] = *score;
      continue;
    }
    std::int32_t score = AllWordsScore(k, *state);
    if (type == SearchType::kExactPhrase && score > 0 &&
        !ConfirmPhrase(k, settings, state)) {
      score = 0;
    }
    counts[k] = score;
    RunFlags flags = LetWindowSystemRun(*state, ports);
    // Quitting ends the run here too: the exact-phrase confirmation of a
    // large tree reads many files.
    if (flags.quit) return SearchRunOutcome::kQuit;
    if (flags.stop) break;
  }
  return std::nullopt;
}

// Lists the files that matched and exist, in index order, each as it is
// found, up to the most files a search lists. Returns kQuit when the user
// quit, nothing otherwise.
std::optional<SearchRunOutcome> ListInIndexOrder(
    const SearchSettings& settings, SearchState* state, SearchPorts& ports) {
  const LoadedIndex& index = state->index;
  const std::vector<std::int32_t>& counts = state->intFileMatchCounts;
  for (std::size_t k = 0; k < index.strFileList.size(); ++k) {
    if (counts[k] <= 0) continue;
    const std::string& relative = index.strFileList[k];
    // The file is opened once: to see that it is there, and to read the
    // title that its line shows.
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
    RunFlags flags = LetWindowSystemRun(*state, ports);
    if (flags.quit) return SearchRunOutcome::kQuit;
    if (flags.stop) {
      state->results.Append("Search terminated.");
      break;
    }
  }
  return std::nullopt;
}

// Takes the first files that matched and exist, up to the most files a
// search lists, and lists them by decreasing score. Returns kQuit when the
// user quit, nothing otherwise.
std::optional<SearchRunOutcome> ListByScore(const SearchSettings& settings,
                                            SearchState* state,
                                            SearchPorts& ports) {
  const LoadedIndex& index = state->index;
  const std::vector<std::int32_t>& counts = state->intFileMatchCounts;
  std::vector<std::string> keys;
  for (std::size_t k = 0; k < index.strFileList.size(); ++k) {
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
    RunFlags flags = LetWindowSystemRun(*state, ports);
    if (flags.quit) return SearchRunOutcome::kQuit;
    if (flags.stop) {
      state->results.Append("Listing terminated.");
      break;
    }
  }
  return std::nullopt;
}

// The Search button's caption back, the number of files found, and the
// no-match text or the note that the most files were listed.
void ShowSearchEnd(const SearchSettings& settings, SearchState* state,
                   SearchPorts& ports) {
  SetSearchCaption(state, ports, "Search");
  if (!settings.optSearchSingleFile) {
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
}

}  // namespace

SearchRunOutcome RunSearch(const SearchSettings& settings, SearchState* state,
                           SearchPorts& ports) {
  ClearLastSearch(state, ports);
  SearchType type = settings.cboSearchType;
  LookUp look_up = LookUpWords(type, state, ports);
  if (look_up == LookUp::kQuit) return SearchRunOutcome::kQuit;
  state->intFileMatchCounts.assign(state->index.strFileList.size(), 0);
  if (look_up == LookUp::kMatchPossible) {
    if (std::optional<SearchRunOutcome> ended = ReadWordRows(state, ports)) {
      return *ended;
    }
    state->blnStop = false;
    SetSearchCaption(state, ports, "Stop");
    if (state->search_words.size() == 1) type = SearchType::kAnyWord;
    if (std::optional<SearchRunOutcome> ended =
            ScoreFiles(settings, type, state, ports)) {
      return *ended;
    }
    std::optional<SearchRunOutcome> ended =
        settings.chkSortMatches ? ListByScore(settings, state, ports)
                                : ListInIndexOrder(settings, state, ports);
    if (ended) return *ended;
  }
  ShowSearchEnd(settings, state, ports);
  return SearchRunOutcome::kFinished;
}

}  // namespace orvane
