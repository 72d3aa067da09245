#include "engine/search/search_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "engine/files/file_stamp.h"
#include "engine/search/found_files.h"
#include "engine/text/charset.h"
#include "engine/text/file_checks.h"
#include "engine/text/markup.h"
#include "engine/text/number_text.h"
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

// The index of the single file in the file list (exact comparison of its
// relative path), or -1.
std::int64_t SingleFileIndex(const SearchSettings& settings,
                             const LoadedIndex& index) {
  if (settings.txbSingleFile.size() < settings.txbTopFolder.size()) return -1;
  std::string_view relative =
      std::string_view(settings.txbSingleFile).substr(settings.txbTopFolder.size());
  const auto files = static_cast<std::uint32_t>(index.intNumFiles);
  for (std::uint32_t k = 0; k < files; ++k) {
    if (index.FilePath(k) == relative) return k;
  }
  return -1;
}

}  // namespace

std::int32_t FindWordRow(const LoadedIndex& index, std::string_view word) {
  return index.store->FindWord(word).value_or(-1);
}

bool CheckTopFolder(const SearchSettings& settings, SearchState* state) {
  const LoadedIndex& index = state->index;
  const auto files = static_cast<std::uint32_t>(index.intNumFiles);
  for (std::uint32_t k = 0; k < files; ++k) {
    std::string_view entry = index.FilePath(k);
    if (entry.size() >= 10 &&
        LowerCaseText(entry.substr(entry.size() - 10)) == "index.html") {
      continue;
    }
    if (FileExists(settings.txbTopFolder + std::string(entry))) {
      state->blnTopFolderChecked = true;
      return true;
    }
  }
  return false;
}

std::string FoundFilesLabel(bool single_file, std::int32_t count) {
  if (single_file) return count > 0 ? "Found" : "Not found";
  return "Number of files found with matches: " + std::to_string(count);
}

std::string FoundFilesLine(bool single_file, const SearchState& state) {
  std::string line =
      single_file ? FoundFilesLabel(true, state.intNumFilesFound)
                  : "Number of files found with matches: " +
                        FoundFilesCountText(state);
  // A single file not found has no changes to tell.
  if (!single_file || state.intNumFilesFound > 0) {
    line += ChangeCountsText(state.changes, single_file);
  }
  return line;
}

bool IsFileCountLimitReached(const SearchState& state) {
  return state.intNumFilesFound == kMaxFilesFound;
}

std::string FoundFilesCountText(const SearchState& state) {
  if (state.files_past_list == 0) return std::to_string(state.intNumFilesFound);
  if (state.files_past_list_unread) {
    return FormatNumber(state.intNumFilesFound, 0) + " (" +
           FormatNumber(state.files_past_list, 0) + " more not checked)";
  }
  return FormatNumber(static_cast<double>(state.intNumFilesFound) +
                          state.files_past_list,
                      0) +
         " (" + FormatNumber(state.intNumFilesFound, 0) + " listed)";
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
  return LetWindowSystemRun(ports.yield, ports.launcher, state.blnStop);
}

// The results of the last search go; "Now searching ..." shows.
void ClearLastSearch(const SearchSettings& settings, SearchState* state,
                     SearchPorts& ports) {
  ports.view.SetText("lblNumFilesFound", "");
  state->results.Set("\r\nNow searching ...");
  state->results.Repaint();
  state->extract_builder.ClearExtracts();
  state->intNumFilesFound = 0;
  state->files_past_list = 0;
  state->files_past_list_unread = false;
  state->strFilesFound.clear();
  state->found_file_indexes.clear();
  state->strFileTitles.clear();
  state->strFileDescriptions.clear();
  state->changes.Start(settings.txbIndexFile);
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
  state->word_weights.clear();
  state->ranked_by_relevance = false;
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

// Reads the postings of every word found in the lexicon (a word that is
// not there has none). Returns the outcome that ends the search early, or
// nothing when every word's postings were read.
std::optional<SearchRunOutcome> ReadWordPostings(SearchState* state,
                                                 SearchPorts& ports) {
  IndexStoreReader& store = *state->index.store;
  for (SearchWordEntry& entry : state->search_words) {
    Status read = entry.lngWordNumber >= 1
                      ? store.ReadPostings(entry.lngWordNumber, &entry.postings)
                      : Status::Ok();
    if (!read.ok()) {
      // The store changed or vanished since it was checked: it is made
      // ready again at the next search.
      state->index.blnDataFileReady = false;
      SetSearchCaption(state, ports, "Search");
      state->results.Clear();
      ports.prompter.ShowMessage(MessageIcon::kError, "Error", read.message());
      return SearchRunOutcome::kFailed;
    }
    if (LetWindowSystemRun(*state, ports).quit) return SearchRunOutcome::kQuit;
  }
  return std::nullopt;
}

// Whether file k holds the words as an exact phrase: the file is read.
bool ConfirmPhrase(std::uint32_t k, const SearchSettings& settings,
                   SearchState* state) {
  // Paths are used exactly as found: the top folder is not folded.
  std::string full_path =
      settings.txbTopFolder + std::string(state->index.FilePath(k));
  if (!RegularFileExists(full_path)) return false;
  state->results.Set("Now searching file #" + std::to_string(k + 1) +
                     " for exact phrase.");
  state->results.Repaint();
  return state->extract_builder.ContainsPhrase(full_path,
                                               state->strSearchWords);
}

// Where a word's postings are read while they are combined: the next one
// and the end of those that count.
struct Cursor {
  const Postings* postings;
  std::size_t at;
  std::size_t end;
  std::uint32_t file() const { return postings->file_indexes[at]; }
  std::uint8_t score() const { return postings->scores[at]; }
};

// The cursor over the postings of files first .. last - 1.
Cursor CursorOver(const Postings& postings, std::uint32_t first,
                  std::uint32_t last) {
  const auto& files = postings.file_indexes;
  auto begin = std::lower_bound(files.begin(), files.end(), first);
  auto end = std::lower_bound(begin, files.end(), last);
  return Cursor{&postings, static_cast<std::size_t>(begin - files.begin()),
                static_cast<std::size_t>(end - files.begin())};
}

// "Any word": every file that holds a word, in file order, scored with the
// sum of its words' weighted scores (state->word_weights) or, when the files are not sorted, with the
// score of its first word in query order (only the fact of a match
// matters then). The words' postings are merged through a heap ordered by
// file and then by the word's place in the query. Returns kQuit when the
// user quit.
std::optional<SearchRunOutcome> ScoreAnyWord(std::uint32_t first,
                                             std::uint32_t last,
                                             const SearchSettings& settings,
                                             SearchState* state,
                                             SearchPorts& ports) {
  struct Head {
    std::uint32_t file;
    std::size_t word;  // place in the query
  };
  auto later = [](const Head& a, const Head& b) {
    return a.file != b.file ? a.file > b.file : a.word > b.word;
  };
  std::vector<Cursor> cursors;
  std::vector<Head> heap;
  for (const SearchWordEntry& entry : state->search_words) {
    Cursor cursor = CursorOver(entry.postings, first, last);
    if (cursor.at < cursor.end) {
      heap.push_back(Head{cursor.file(), cursors.size()});
    }
    cursors.push_back(cursor);
  }
  std::make_heap(heap.begin(), heap.end(), later);
  std::vector<FileScore>& matches = state->intFileMatchCounts;
  while (!heap.empty()) {
    const std::uint32_t file = heap.front().file;
    std::int32_t score = 0;
    while (!heap.empty() && heap.front().file == file) {
      std::pop_heap(heap.begin(), heap.end(), later);
      const std::size_t word = heap.back().word;
      Cursor& cursor = cursors[word];
      if (settings.chkSortMatches) {
        score += state->word_weights[word][cursor.score()];
      } else if (score == 0) {
        score = cursor.score();
      }
      if (++cursor.at < cursor.end) {
        heap.back().file = cursor.file();
        std::push_heap(heap.begin(), heap.end(), later);
      } else {
        heap.pop_back();
      }
    }
    matches.push_back(FileScore{file, score});
    if (LetWindowSystemRun(*state, ports).quit) return SearchRunOutcome::kQuit;
  }
  return std::nullopt;
}

// "All words" and "Exact phrase": the files that hold every word, in file
// order, found along the shortest postings; each scored with the sum of
// its words' weighted scores. For "Exact phrase" without sorting each is read to
// confirm the phrase here; with sorting the listing confirms them best
// first, and only as many as it needs.
// Returns kQuit when the user quit; a click on Stop ends the scoring with
// the files scored so far.
std::optional<SearchRunOutcome> ScoreAllWords(std::uint32_t first,
                                              std::uint32_t last,
                                              SearchType type,
                                              const SearchSettings& settings,
                                              SearchState* state,
                                              SearchPorts& ports) {
  std::vector<Cursor> cursors;
  std::size_t shortest = 0;
  for (const SearchWordEntry& entry : state->search_words) {
    cursors.push_back(CursorOver(entry.postings, first, last));
    const Cursor& c = cursors.back();
    const Cursor& s = cursors[shortest];
    if (c.end - c.at < s.end - s.at) shortest = cursors.size() - 1;
  }
  if (cursors.empty()) return std::nullopt;
  std::vector<FileScore>& matches = state->intFileMatchCounts;
  const Cursor lead = cursors[shortest];
  for (std::size_t at = lead.at; at < lead.end; ++at) {
    const std::uint32_t file = lead.postings->file_indexes[at];
    std::int32_t score = 0;
    for (std::size_t word = 0; word < cursors.size(); ++word) {
      Cursor& cursor = cursors[word];
      const auto& files = cursor.postings->file_indexes;
      // Each word's files are passed in ascending order: the search for
      // the next goes on from where the last stopped.
      cursor.at = static_cast<std::size_t>(
          std::lower_bound(files.begin() + cursor.at, files.begin() + cursor.end,
                           file) -
          files.begin());
      if (cursor.at == cursor.end || cursor.file() != file) {
        score = 0;
        break;
      }
      score += state->word_weights[word][cursor.score()];
    }
    if (score == 0) continue;
    if (type == SearchType::kExactPhrase && !settings.chkSortMatches &&
        !ConfirmPhrase(file, settings, state)) {
      score = 0;
    }
    if (score > 0) matches.push_back(FileScore{file, score});
    RunFlags flags = LetWindowSystemRun(*state, ports);
    // Quitting ends the run here too: the exact-phrase confirmation of a
    // large tree reads many files.
    if (flags.quit) return SearchRunOutcome::kQuit;
    if (flags.stop) break;
  }
  return std::nullopt;
}

// Combines the words' postings by the search type into
// state->intFileMatchCounts; only the single file when one is searched. A
// word's score counts as it stands or, when the list ranks by relevance,
// by its relevance weight.
// Returns kQuit when the user quit, nothing otherwise (a click on Stop
// ends the scoring with the files scored so far).
std::optional<SearchRunOutcome> ScoreFiles(const SearchSettings& settings,
                                           SearchType type,
                                           SearchState* state,
                                           SearchPorts& ports) {
  std::uint32_t first = 0;
  std::uint32_t last = static_cast<std::uint32_t>(state->index.intNumFiles);
  if (settings.optSearchSingleFile) {
    const std::int64_t single_index = SingleFileIndex(settings, state->index);
    if (single_index < 0) return std::nullopt;
    first = static_cast<std::uint32_t>(single_index);
    last = first + 1;
  }
  state->ranked_by_relevance = RanksByRelevance(settings);
  for (const SearchWordEntry& entry : state->search_words) {
    state->word_weights.push_back(
        state->ranked_by_relevance
            ? RelevanceWeights(
                  static_cast<std::uint32_t>(state->index.intNumFiles),
                  static_cast<std::uint32_t>(entry.postings.file_indexes.size()))
            : PlainScoreWeights());
  }
  return type == SearchType::kAnyWord
             ? ScoreAnyWord(first, last, settings, state, ports)
             : ScoreAllWords(first, last, type, settings, state, ports);
}

// Lists the files that matched and exist, in index order, each as it is
// found, up to the most files a search lists. Returns kQuit when the user
// quit, nothing otherwise.
std::optional<SearchRunOutcome> ListInIndexOrder(
    const SearchSettings& settings, SearchState* state, SearchPorts& ports) {
  const LoadedIndex& index = state->index;
  const std::vector<FileScore>& matches = state->intFileMatchCounts;
  for (std::size_t at = 0; at < matches.size(); ++at) {
    const FileScore& match = matches[at];
    const IndexedFile file = index.store->File(match.file_index);
    const std::string relative(file.relative_path);
    // A file unchanged since it was indexed shows what the index keeps of
    // it; any other is opened once: to see that it is there, and to read
    // the title that its line shows.
    const std::string full_path = settings.txbTopFolder + relative;
    const std::optional<IndexedFile> stored = UnchangedFile(file, full_path);
    std::optional<FileHead> head;
    if (!stored) head.emplace(full_path);
    if (stored || head->exists()) {
      state->strFilesFound.push_back(relative);
      state->found_file_indexes.push_back(match.file_index);
      if (!ShowFoundFile(state->intNumFilesFound, settings, state, ports,
                         head ? &*head : nullptr, stored ? &*stored : nullptr)) {
        break;
      }
      ++state->intNumFilesFound;
      if (IsFileCountLimitReached(*state)) {
        state->files_past_list =
            static_cast<std::int32_t>(matches.size() - at - 1);
        break;
      }
    } else {
      ++state->changes.num_vanished;
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

// Whether match a ranks below match b: a lower score, or an equal score
// and a later place in the index, so that ties at the cut of the list go
// in index order.
// A type rather than a function, so that the heap's comparisons inline.
struct RanksBelow {
  bool operator()(const FileScore& a, const FileScore& b) const {
    return a.score != b.score ? a.score < b.score : a.file_index > b.file_index;
  }
};

// Takes the highest-scoring files of all that matched and exist, up to the
// most files a search lists, and lists them by decreasing score (among
// equal scores the greater relative path first). The matches are made a
// heap and taken best first, so that a search over many matches costs what
// the listed files cost, not a sort of every match. Under "Exact phrase"
// the files that hold every word are read best first until the list is
// full. Returns kQuit when the user quit, nothing otherwise.
std::optional<SearchRunOutcome> ListByScore(const SearchSettings& settings,
                                            SearchType type,
                                            SearchState* state,
                                            SearchPorts& ports) {
  const LoadedIndex& index = state->index;
  // The heap is kept between searches: a search over 100,000 matches
  // then reuses its memory instead of mapping and faulting in a new one.
  std::vector<FileScore>& best = state->best_first;
  best.assign(state->intFileMatchCounts.begin(),
              state->intFileMatchCounts.end());
  std::make_heap(best.begin(), best.end(), RanksBelow());
  std::vector<std::string> keys;
  // The listed files' indexes, and their stamps when the search has just
  // made sure they are there, found again by path once the keys are sorted.
  struct Listed {
    std::uint32_t file_index;
    IndexedFile file;  // as the store keeps it
    std::optional<FileStamp> stamp;
  };
  std::unordered_map<std::string, Listed> listed_by_path;
  bool stopped = false;
  while (!best.empty() &&
         static_cast<std::int32_t>(keys.size()) < kMaxFilesFound) {
    std::pop_heap(best.begin(), best.end(), RanksBelow());
    const FileScore match = best.back();
    best.pop_back();
    if (type == SearchType::kExactPhrase) {
      const bool confirmed = ConfirmPhrase(match.file_index, settings, state);
      RunFlags flags = LetWindowSystemRun(*state, ports);
      if (flags.quit) return SearchRunOutcome::kQuit;
      if (confirmed) {
        const IndexedFile file = index.store->File(match.file_index);
        const std::string relative(file.relative_path);
        keys.push_back(SortKey(match.score, relative));
        listed_by_path.emplace(relative,
                               Listed{match.file_index, file, std::nullopt});
      }
      if (flags.stop) {
        stopped = true;
        break;
      }
      continue;
    }
    const IndexedFile file = index.store->File(match.file_index);
    const std::string relative(file.relative_path);
    // The stat that finds the file there also tells, when it is listed,
    // whether it changed since it was indexed.
    std::optional<FileStamp> stamp = StampOfFile(settings.txbTopFolder + relative);
    if (!stamp) {
      ++state->changes.num_vanished;
      continue;
    }
    keys.push_back(SortKey(match.score, relative));
    listed_by_path.emplace(relative, Listed{match.file_index, file, stamp});
  }
  state->intNumFilesFound = static_cast<std::int32_t>(keys.size());
  if (IsFileCountLimitReached(*state) && !stopped) {
    state->files_past_list = static_cast<std::int32_t>(best.size());
    state->files_past_list_unread = type == SearchType::kExactPhrase;
  }
  if (keys.size() >= 2) {
    SortDescending(keys, 0, static_cast<int>(keys.size()) - 1);
  }
  std::vector<const Listed*> listed_in_order;
  listed_in_order.reserve(keys.size());
  for (std::string& key : keys) {
    state->strFilesFound.push_back(key.substr(kSortKeyWidth));
    const Listed& listed = listed_by_path[state->strFilesFound.back()];
    state->found_file_indexes.push_back(listed.file_index);
    listed_in_order.push_back(&listed);
  }
  state->strFileTitles.resize(keys.size());
  state->strFileDescriptions.resize(keys.size());
  for (std::int32_t i = 0; i < state->intNumFilesFound; ++i) {
    // A file unchanged since it was indexed shows what the index keeps of
    // it; any other is read.
    const Listed& listed = *listed_in_order[static_cast<std::size_t>(i)];
    const std::string full_path =
        settings.txbTopFolder + state->strFilesFound[static_cast<std::size_t>(i)];
    const std::optional<IndexedFile> stored =
        listed.stamp ? UnchangedFile(listed.file, *listed.stamp)
                     : UnchangedFile(listed.file, full_path);
    std::optional<FileHead> head;
    if (!stored) head.emplace(full_path);
    if (!ShowFoundFile(i, settings, state, ports, head ? &*head : nullptr,
                       stored ? &*stored : nullptr)) {
      break;
    }
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
  // Files new in the folders matter to a search of all files only.
  if (!settings.optSearchSingleFile) {
    state->changes.FindNewerFolders(settings.txbTopFolder,
                                    state->strFilesFound);
  }
  ports.view.SetText("lblNumFilesFound",
                     FoundFilesLine(settings.optSearchSingleFile, *state));
  ports.view.Repaint();
  ports.progress.Found(state->intNumFilesFound);
  if (state->intNumFilesFound == 0) {
    DisplayNoFilesFound(settings, state);
  } else if (IsFileCountLimitReached(*state)) {
    state->results.Append("\r\nMaximum number of files reached (" +
                          std::to_string(kMaxFilesFound) + ").\r\n");
  }
  const std::string notes = ChangeNotes(state->changes);
  if (!notes.empty()) state->results.Append("\r\n" + notes);
}

}  // namespace

SearchRunOutcome RunSearch(const SearchSettings& settings, SearchState* state,
                           SearchPorts& ports) {
  ClearLastSearch(settings, state, ports);
  UseDocumentTexts(settings.txbIndexFile, settings.txbTopFolder, state);
  SearchType type = settings.cboSearchType;
  LookUp look_up = LookUpWords(type, state, ports);
  if (look_up == LookUp::kQuit) return SearchRunOutcome::kQuit;
  state->intFileMatchCounts.clear();
  if (look_up == LookUp::kMatchPossible) {
    if (std::optional<SearchRunOutcome> ended = ReadWordPostings(state, ports)) {
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
        settings.chkSortMatches ? ListByScore(settings, type, state, ports)
                                : ListInIndexOrder(settings, state, ports);
    if (ended) return *ended;
  }
  ShowSearchEnd(settings, state, ports);
  return SearchRunOutcome::kFinished;
}

}  // namespace orvane
