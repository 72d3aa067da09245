#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "engine/common/cp1252.h"
#include "engine/common/program_texts.h"
#include "engine/search/query.h"
#include "engine/search/search_settings.h"
#include "engine/text/file_checks.h"

namespace orvane::fuzz {

namespace fs = std::filesystem;

namespace {

void RemoveScratchFolder() {
  std::error_code ec;
  fs::remove_all(ScratchFolder(), ec);
}

}  // namespace

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    std::string pattern =
        (fs::temp_directory_path() / "orvane-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("orvane fuzz: cannot make a scratch folder");
      std::abort();
    }
    std::string made = pattern + "/";
    fs::create_directories(made + "home");
    ::setenv("XDG_DATA_HOME", (made + "home").c_str(), 1);
    ::setenv("HOME", (made + "home").c_str(), 1);
    return made;
  }();
  static const bool removal_registered = [] {
    std::atexit(RemoveScratchFolder);
    return true;
  }();
  (void)removal_registered;
  return folder;
}

std::string WriteScratchFile(std::string_view name, std::string_view bytes) {
  std::string path = ScratchFolder() + std::string(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  Require(static_cast<bool>(out), "the input file could not be written");
  return path;
}

void RemoveScratchFile(std::string_view name) {
  std::error_code ec;
  fs::remove(ScratchFolder() + std::string(name), ec);
}

HeadAndBody SplitAtFirstLine(std::string_view input) {
  std::size_t newline = input.find('\n');
  if (newline == std::string_view::npos) return {input, std::string_view()};
  return {input.substr(0, newline), input.substr(newline + 1)};
}

namespace {

// The first lexicon word from the given end that can be typed (letters
// only), as display text; empty when there is none.
std::string TypableWord(const LoadedIndex& index, bool from_end) {
  const std::uint32_t count = index.store->word_count();
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string word =
        ContentToDisplay(index.store->WordAt(from_end ? count - 1 - i : i));
    if (CheckSearchWordCharacters(word) && word.find('*') == std::string::npos) {
      return word;
    }
  }
  return std::string();
}

}  // namespace

void LoadAndSearch(const std::string& index_path) {
  // The program's own texts, for the messages the search shows.
  static const bool texts_loaded =
      LoadProgramTextsFrom(ORVANE_SOURCE_DIR "/data/tavo.dat").ok();
  (void)texts_loaded;
  QuietSearch search;
  SearchSettings& settings = search.module.settings();
  settings.chkGenerateHTML = false;
  if (!search.module.ChooseIndexFile(index_path)) return;
  const LoadedIndex& index = search.module.state().index;
  // The sample tree or the folder of it that holds the first listed file,
  // so that an index of (part of) it finds its files and reads them.
  settings.txbTopFolder = ORVANE_SOURCE_DIR "/data/sample/";
  for (const char* folder : {"literature/", "mail/", "notes/", "web/"}) {
    std::string top = ORVANE_SOURCE_DIR "/data/sample/" + std::string(folder);
    if (FileExists(top + std::string(index.FilePath(0)))) {
      settings.txbTopFolder = top;
    }
  }
  const std::string first = TypableWord(index, false);
  if (first.empty()) return;
  const std::string last = TypableWord(index, true);
  const std::string stem = last.substr(0, 2) + "*";
  for (SearchType type : {SearchType::kAnyWord, SearchType::kAllWords,
                          SearchType::kExactPhrase}) {
    settings.cboSearchType = type;
    settings.txbSearchWords =
        first + " " + last + (type == SearchType::kAnyWord ? " " + stem : "");
    search.module.Search();
  }
}

void Require(bool holds, std::string_view what) {
  if (holds) return;
  std::fprintf(stderr, "orvane fuzz: %.*s\n", static_cast<int>(what.size()),
               what.data());
  std::abort();
}

void RequireWellFormed(const DocumentText& text) {
  for (const std::string& line : text.lines) {
    Require(!line.empty(), "a document line is empty");
    Require(line.front() != ' ' && line.front() != '\t' && line.back() != ' ' &&
                line.back() != '\t',
            "a document line has blanks at an end");
    for (char c : line) {
      Require(static_cast<unsigned char>(c) >= 0x20 || c == '\t',
              "a document line holds a control character");
    }
  }
  std::int32_t last = 0;
  for (std::int32_t start : text.page_starts) {
    Require(
        start >= last && start <= static_cast<std::int32_t>(text.lines.size()),
        "a page starts out of order or past the lines");
    last = start;
  }
}

}  // namespace orvane::fuzz
