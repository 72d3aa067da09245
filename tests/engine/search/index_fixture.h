// Hand-made indexes for the Search Module's tests: the index text written
// out as the Index Module writes it (file list, lexicon, count lines, CR
// LF), compressed, with or without its data file; and a fixture that holds
// a SearchModule over recording fakes of its ports, loading its indexes
// into a store of a given kind. The tests that search run over every kind
// of store (kEveryStore), so that each store answers every case.
#pragma once

#include <algorithm>
#include <cmath>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/common/launcher_state.h"
#include "engine/format/index_store.h"
#include "engine/modules/search_module.h"
#include "engine/modules/search_window.h"
#include "engine/text/charset.h"
#include "engine/text/compression.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace orvane {

// How a kind of store shows in a test's name and messages.
inline void PrintTo(IndexStoreKind kind, std::ostream* os) {
  switch (kind) {
    case IndexStoreKind::kClassic:
      *os << "classic pair";
      return;
    case IndexStoreKind::kStore:
      *os << "store file";
      return;
  }
  *os << "unknown store";
}

}  // namespace orvane

namespace orvane::testing {

struct IndexLayout {
  std::vector<std::string> files;  // relative paths, file numbers 1, 2, ...
  std::string title = "Test index";
  // Each word with its scores for files 1 to N, in word-number order.
  std::vector<std::pair<std::string, std::vector<int>>> words;
};

// The run-length count line of one row, quoted.
inline std::string CountLine(const std::vector<int>& scores) {
  std::string items;
  std::size_t i = 0;
  while (i < scores.size()) {
    if (!items.empty()) items += ",";
    if (scores[i] != 0) {
      items += std::to_string(scores[i++]);
      continue;
    }
    std::size_t j = i;
    while (j < scores.size() && scores[j] == 0) ++j;
    items += j - i == 1 ? "0" : "-" + std::to_string(j - i);
    i = j;
  }
  return "\"" + items + "\"";
}

inline std::string IndexText(const IndexLayout& layout) {
  std::string text;
  for (const std::string& f : layout.files) text += "\"" + f + "\"\r\n";
  text += "\"End of file list\"\r\n";
  text += std::to_string(layout.words.size()) + ",\"" + layout.title + "\"\r\n";
  std::vector<std::pair<std::string, std::size_t>> sorted;
  for (std::size_t n = 0; n < layout.words.size(); ++n) {
    sorted.emplace_back(layout.words[n].first, n + 1);
  }
  std::sort(sorted.begin(), sorted.end());
  for (const auto& [word, number] : sorted) {
    text += std::to_string(number) + ",\"" + word + "\"\r\n";
  }
  text += "101,\"End of lexicon\"\r\n";
  for (const auto& entry : layout.words) text += CountLine(entry.second) + "\r\n";
  return text;
}

// Rows (row 1 reserved when there is no word) and the trailer.
inline std::string DataFileBytes(const IndexLayout& layout,
                                 std::size_t text_length) {
  std::string bytes;
  for (const auto& entry : layout.words) {
    for (int score : entry.second) bytes.push_back(static_cast<char>(score));
  }
  if (layout.words.empty()) bytes.append(layout.files.size(), '\0');
  for (int i = 0; i < 4; ++i) {
    bytes.push_back(static_cast<char>((text_length >> (8 * i)) & 0xFF));
  }
  return bytes;
}

// Writes text compressed at dir/relative; returns the full path.
inline std::string WriteCompressed(const TempDir& dir, std::string_view relative,
                                   std::string_view text) {
  std::string path = dir.Write(relative, text);
  std::string work = path.substr(0, path.size() - 3) + "tavoc";
  squeez::_alb();
  std::int32_t result = squeez::_cf(path, work, true);
  squeez::_dalb();
  if (result < 0) throw std::runtime_error("cannot compress " + path);
  return path;
}

// A naive index of the files below dir/folder: words are runs of letters,
// lower-cased, outside tags; a file's most frequent word scores 255.
inline IndexLayout IndexOfTree(const TempDir& dir, const std::string& folder,
                             const std::vector<std::string>& files) {
  IndexLayout layout;
  layout.files = files;
  std::map<std::string, std::size_t> number_of;
  std::vector<std::map<std::size_t, int>> counts(files.size());
  for (std::size_t f = 0; f < files.size(); ++f) {
    std::string bytes = ReadFileBytes(dir.Path(folder + files[f]));
    std::string word;
    int depth = 0;
    auto flush = [&] {
      if (word.empty()) return;
      std::string lower = LowerCaseText(word);
      auto [it, added] = number_of.emplace(lower, layout.words.size());
      if (added) layout.words.emplace_back(lower, std::vector<int>(files.size()));
      ++counts[f][it->second];
      word.clear();
    };
    for (char c : bytes) {
      if (c == '<') ++depth;
      if (c == '>' && depth > 0) --depth;
      if (depth == 0 && IsWordByte(static_cast<unsigned char>(c), false)) {
        word.push_back(c);
      } else {
        flush();
      }
    }
    flush();
    int top = 0;
    for (const auto& [n, count] : counts[f]) top = std::max(top, count);
    for (const auto& [n, count] : counts[f]) {
      layout.words[n].second[f] = std::max(
          1, static_cast<int>(std::lround(255.0 * count / top)));
    }
  }
  return layout;
}

// Writes the index of layout as dir/<name>_index.tavo, and its data file when
// asked. Returns the index path.
inline std::string WriteIndex(const TempDir& dir, const std::string& name,
                              const IndexLayout& layout, bool with_data_file) {
  std::string text = IndexText(layout);
  std::string path = WriteCompressed(dir, name + "_index.tavo", text);
  if (with_data_file) {
    dir.Write(name + "_data.tavo", DataFileBytes(layout, text.size()));
  }
  return path;
}

// The kinds of store every search test runs over.
inline const IndexStoreKind kEveryStore[] = {IndexStoreKind::kClassic,
                                             IndexStoreKind::kStore};

// The name of a kind of store in a test's name.
inline std::string StoreName(const ::testing::TestParamInfo<IndexStoreKind>& info) {
  switch (info.param) {
    case IndexStoreKind::kClassic:
      return "Classic";
    case IndexStoreKind::kStore:
      return "Store";
  }
  return "Unknown";
}

// A SearchModule over recording fakes, loading indexes into a store of the
// given kind.
struct SearchFixture {
  explicit SearchFixture(IndexStoreKind kind = IndexStoreKind::kClassic) {
    module.state().index.store_kind = kind;
  }

  RecordingPrompter prompter;
  RecordingViewState view;
  ScriptedYield yield;
  RecordingOpener opener;
  FakeLargeDisplay display;
  LauncherState launcher;
  RecordingProgress progress;
  SearchModule module{SearchPorts{prompter, view, yield, opener, display,
                                  launcher, NumberFormat{}, progress}};
  ScriptedDialogs dialogs;
  // The rules of the window over the module.
  SearchWindow window{module, dialogs};

  SearchSettings& settings() { return module.settings(); }
  SearchState& state() { return module.state(); }
  const std::string& results() { return module.state().results.text(); }
  // The texts of the message boxes, one per line.
  std::string Messages() const { return prompter.Transcript(); }
};

}  // namespace orvane::testing
