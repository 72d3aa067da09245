// orvane_bench_search: the Search Module's figures on a tree made by
// orvane_make_tree. It indexes the tree once with the Index Module's
// engine, then measures the load of the index (with its data file current,
// and with a rebuild of the data file) beside one plain read of the file
// list and the lexicon, every search type with and without sorting (the
// whole search, and the part before the first file is listed), an HTML
// report of 100 found files beside one read of those files, and, given the
// program, whole `orvane search` runs. Figures are medians of several runs.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fcntl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/silent_ports.h"
#include "cli/heap_pages.h"
#include "engine/common/launcher_state.h"
#include "engine/common/program_folder.h"
#include "engine/common/program_texts.h"
#include "engine/files/folder.h"
#include "engine/index/common_words.h"
#include "engine/index/index_settings.h"
#include "engine/modules/index_module.h"
#include "engine/search/classic_store_reader.h"
#include "engine/search/index_loading.h"
#include "engine/search/index_text_lines.h"
#include "engine/modules/search_module.h"
#include "engine/text/compression_stream.h"

extern char** environ;

namespace orvane {
namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Several timings of one thing: their median and their spread.
struct Times {
  std::vector<double> ms;
  double Median() const {
    std::vector<double> v = ms;
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
  }
  double Min() const { return ms.empty() ? 0 : *std::min_element(ms.begin(), ms.end()); }
  double Max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
  // "median ms (min-max)", the spread left out for a single run.
  std::string Text(int decimals = 1) const {
    char text[96];
    if (ms.size() < 2) {
      std::snprintf(text, sizeof text, "%8.*f ms", decimals, Median());
    } else {
      std::snprintf(text, sizeof text, "%8.*f ms (%.*f-%.*f)", decimals, Median(),
                    decimals, Min(), decimals, Max());
    }
    return text;
  }
};

// Times f runs times.
Times Time(int runs, const std::function<void()>& f) {
  Times times;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    f();
    times.ms.push_back(Milliseconds(start, Clock::now()));
  }
  return times;
}

// Runs the program with args (args[0] its path), standard output to
// /dev/null, runs times.
Times TimeProgram(std::vector<std::string> args, int runs) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  Times t = Time(runs, [&] {
    pid_t pid;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
      int status;
      waitpid(pid, &status, 0);
    }
  });
  posix_spawn_file_actions_destroy(&actions);
  return t;
}

// Notes when the scoring starts (the Search button reads "Stop") and when
// the first found file is shown, so the time before listing can be told.
class TimingView : public ViewState {
 public:
  void SetText(std::string_view control, std::string_view text) override {
    if (control == "lblCurrentFile") current_file_ = std::string(text);
    if (control == "cmdSearch" && text == "Stop") scoring_ = true;
    if (control == "txbFiles" && scoring_ && !listed_ && !text.empty() &&
        text.front() != 'N' && text.front() != '\r') {
      listed_ = true;
      first_listed_ = Clock::now();
    }
  }
  void SetEnabled(std::string_view, bool) override {}
  void SetVisible(std::string_view, bool) override {}
  void Reset() {
    scoring_ = false;
    listed_ = false;
  }
  bool listed() const { return listed_; }
  Clock::time_point first_listed() const { return first_listed_; }
  const std::string& current_file() const { return current_file_; }

 private:
  bool scoring_ = false;
  bool listed_ = false;
  Clock::time_point first_listed_;
  std::string current_file_;
};

using orvane::bench::NoDisplay;
using orvane::bench::NoYield;
using orvane::bench::WallClock;
using orvane::bench::NoOpener;
using orvane::bench::QuietPrompter;

struct Options {
  std::string tree;
  std::string work;
  std::string program;
  int runs = 5;
  int rebuild_runs = 1;
};

constexpr char kUsage[] =
    "Usage: orvane_bench_search --tree DIR --work DIR [--program PATH]\n"
    "                           [--runs N] [--rebuild-runs N]\n"
    "\n"
    "DIR is a tree of orvane_make_tree; its index is made once in the work\n"
    "folder (bench_index.tavo) and reused. With --program (the orvane\n"
    "program) whole command-line searches are timed too. Figures are the\n"
    "median of N runs (default 5) with their spread; the data-file rebuild\n"
    "is run --rebuild-runs times (default 1).\n";

std::string FolderForm(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path + "/";
}

// Two words that stand side by side in a file of the tree, lower-cased:
// a phrase that occurs.
std::vector<std::string> PhraseFrom(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  std::vector<std::string> words;
  std::string word;
  bool in_tag = false;
  for (char c : text) {
    if (c == '<') in_tag = true;
    if (!in_tag && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
      word.push_back(static_cast<char>(c | 0x20));
      continue;
    }
    if (c == '>') in_tag = false;
    if (!word.empty()) {
      if (c == ' ' && word.size() > 3) {
        words.push_back(word);
      } else {
        words.clear();
      }
      word.clear();
      if (words.size() == 2) return words;
    }
  }
  return {"which", "may"};
}

// Processor time of the whole machine, from /proc/stat, in seconds.
struct MachineTime {
  double busy = 0;
  double total = 0;
};
MachineTime ReadMachineTime() {
  MachineTime t;
  std::ifstream in("/proc/stat");
  std::string cpu;
  in >> cpu;
  double v[8] = {};
  for (double& x : v) in >> x;
  const double hz = static_cast<double>(sysconf(_SC_CLK_TCK));
  for (int i = 0; i < 8; ++i) t.total += v[i] / hz;
  t.busy = t.total - (v[3] + v[4]) / hz;  // less idle and waiting for I/O
  return t;
}

// Processor seconds this benchmark and the programs it ran have used.
double OwnTime() {
  double seconds = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    struct rusage usage {};
    getrusage(who, &usage);
    seconds += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  return seconds;
}

int Run(const Options& options) {
  // As the orvane program does at its start.
  UseLargeHeapPages();
  const MachineTime machine_start = ReadMachineTime();
  const double own_start = OwnTime();
  if (!LoadProgramTexts("tavo.dat").ok()) {
    std::fprintf(stderr, "tavo.dat not found beside the benchmark\n");
    return 1;
  }
  QuietPrompter prompter;
  TimingView view;
  NoYield yield;
  NoOpener opener;
  NoDisplay display;
  WallClock clock;
  LauncherState launcher;
  const std::string top = FolderForm(options.tree);
  const std::string work = FolderForm(options.work);
  std::filesystem::create_directories(work);
  const std::string index_path = work + "bench_index.tavo";

  if (!std::filesystem::exists(index_path)) {
    IndexModule indexer(
        IndexPorts{prompter, view, yield, display, clock, launcher});
    IndexSettings& settings = indexer.settings();
    SetDefaults(&settings);
    settings.txbProjectName = "bench";
    settings.txbTitle = "Benchmark tree";
    settings.txbTopFolder = top;
    settings.txbOutputFolder = work;
    FolderError error;
    if (!IncludeWholeTree(&settings, &error)) {
      std::fprintf(stderr, "%s cannot be read: %s\n", top.c_str(),
                   error.description.c_str());
      return 1;
    }
    settings.chkExcludeSpecialLetters = false;
    settings.txbMinimumFilesize = "0";
    indexer.common_words().LoadCommonWords(ProgramFilePath("cwds.txt"));
    auto start = Clock::now();
    if (indexer.CreateIndexFile() != RunOutcome::kCompleted) return 1;
    std::printf("indexed the tree in %.1f s: %s\n",
                Milliseconds(start, Clock::now()) / 1000, view.current_file().c_str());
  }

  SearchModule module(SearchPorts{prompter, view, yield, opener, display, launcher});
  SearchSettings& s = module.settings();
  SearchState& state = module.state();
  module.ChooseTopFolder(top);
  if (!module.ChooseIndexFile(index_path)) return 1;
  const LoadedIndex& index = state.index;
  const auto num_words = static_cast<std::int64_t>(index.store->word_count());
  const ClassicIndex& classic =
      static_cast<const ClassicStoreReader&>(*index.store).index();
  std::printf("index: %d files, %lld words, plain text %.1f MB, index file %.1f MB\n",
              index.intNumFiles, static_cast<long long>(num_words),
              classic.text_length / 1e6,
              std::filesystem::file_size(index_path) / 1e6);

  // Load figures. The plain read is the least any load must do: the file
  // list and the lexicon decompressed and cut into lines.
  std::int64_t lexicon_end = 0;
  Times plain = Time(options.runs, [&] {
    IndexTextLines lines;
    lines.Open(index_path);
    std::string_view line;
    std::int64_t n = index.intNumFiles + 2 + num_words + 1;
    while (n-- > 0 && lines.Next(&line)) {
    }
    lexicon_end = lines.offset();
  });
  Times decompress = Time(options.runs, [&] {
    squeez::PlainTextStream stream;
    stream.Open(index_path);
    std::vector<char> piece(256 * 1024);
    while (stream.delivered() < lexicon_end &&
           stream.Read(piece.data(), piece.size()) > 0) {
    }
  });
  ResultsBox results(view);
  Times current = Time(options.runs, [&] {
    LoadedIndex loaded;
    LoadIndexFile(index_path, &loaded, module.ports(), results);
  });
  Times rebuild;
  for (int i = 0; i < options.rebuild_runs; ++i) {
    // A missing data file: the time to delete an old one is not counted.
    std::filesystem::remove(index.strDataFile);
    Times one = Time(1, [&] {
      LoadedIndex loaded;
      LoadIndexFile(index_path, &loaded, module.ports(), results);
    });
    rebuild.ms.push_back(one.ms[0]);
  }
  std::printf("\nload (median, min-max of %d runs)\n", options.runs);
  std::printf("  decompression of file list and lexicon %s\n", decompress.Text().c_str());
  std::printf("  one read of file list and lexicon      %s\n", plain.Text().c_str());
  std::printf("  load, data file current                %s\n", current.Text().c_str());
  std::printf("  load with data-file rebuild            %s\n", rebuild.Text(0).c_str());

  // Queries: a frequent, a middling and a rare word of the lexicon by the
  // number of files that hold them, and a phrase that occurs.
  module.ForgetIndex();
  module.ChooseIndexFile(index_path);
  // Words with a digit cannot be searched for: letters only.
  auto letters_only = [](std::string_view w) {
    return std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; });
  };
  std::vector<std::pair<int, std::string>> by_files;
  {
    IndexStoreReader& store = *index.store;
    Postings postings;
    const std::uint32_t words = store.word_count();
    for (std::uint32_t i = 0; i < words; i += std::max<std::uint32_t>(1, words / 2000)) {
      if (!letters_only(store.WordAt(i))) continue;
      (void)store.ReadPostings(store.WordNumberAt(i), &postings);
      by_files.emplace_back(static_cast<int>(postings.size()),
                            std::string(store.WordAt(i)));
    }
  }
  std::sort(by_files.rbegin(), by_files.rend());
  const std::string frequent = by_files[0].second;
  const std::string middling = by_files[by_files.size() / 20].second;
  const std::string rare = by_files[by_files.size() / 2].second;
  std::vector<std::string> phrase;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(top)) {
    if (entry.is_regular_file()) {
      phrase = PhraseFrom(entry.path().string());
      break;
    }
  }
  struct Query {
    SearchType type;
    std::string words;
  } queries[] = {
      {SearchType::kAnyWord, rare},  // one rare word: costs what it finds
      {SearchType::kAnyWord, middling + " " + rare},
      {SearchType::kAllWords, frequent + " " + middling},
      {SearchType::kExactPhrase, phrase[0] + " " + phrase[1]},
  };
  s.chkGenerateHTML = false;
  std::printf("\nsearch (files found; before listing; whole search to the last listed file)\n");
  for (const Query& q : queries) {
    for (bool sort : {false, true}) {
      s.cboSearchType = q.type;
      s.chkSortMatches = sort;
      s.txbSearchWords = q.words;
      Times before;
      Times whole;
      for (int i = 0; i < options.runs; ++i) {
        view.Reset();
        auto start = Clock::now();
        module.Search();
        auto end = Clock::now();
        whole.ms.push_back(Milliseconds(start, end));
        before.ms.push_back(
            Milliseconds(start, view.listed() ? view.first_listed() : end));
      }
      std::printf("  %-13s %-7s %-38s %4d files\n      before listing %s   to the last listed file %s\n",
                  std::string(SearchTypeLabel(q.type)).c_str(),
                  sort ? "sorted" : "", q.words.c_str(), state.intNumFilesFound,
                  before.Text(2).c_str(), whole.Text().c_str());
    }
  }

  // HTML report of 100 files.
  s.cboSearchType = SearchType::kAnyWord;
  s.chkSortMatches = false;
  s.txbSearchWords = frequent;
  module.Search();
  if (state.intNumFilesFound >= 100) {
    state.intNumFilesFound = 100;
    s.chkGenerateHTML = true;
    s.optHTMLReport = true;
    s.open_html_report = false;
    s.html_report_path = work + "bench_report.htm";
    Times report = Time(options.runs, [&] { module.MakeReport(); });
    Times read = Time(options.runs, [&] {
      std::vector<char> buffer(1 << 16);
      for (int i = 0; i < 100; ++i) {
        std::FILE* f = std::fopen((top + state.strFilesFound[i]).c_str(), "rb");
        while (f && std::fread(buffer.data(), 1, buffer.size(), f) > 0) {
        }
        if (f) std::fclose(f);
      }
    });
    std::printf("\nHTML report of 100 found files ('%s')  %s\n", frequent.c_str(),
                report.Text(2).c_str());
    std::printf("one read of those 100 files                %s\n", read.Text(2).c_str());
  }

  if (!options.program.empty()) {
    std::printf("\nwhole `orvane search` runs (start, load, search, list of paths)\n");
    for (const Query& q : queries) {
      std::vector<std::string> args = {options.program, "search", "--index", index_path,
                                       "--top", top, "--type",
                                       q.type == SearchType::kAnyWord ? "any"
                                       : q.type == SearchType::kAllWords ? "all" : "phrase"};
      std::string words = q.words;
      std::size_t space = words.find(' ');
      args.push_back(words.substr(0, space));
      if (space != std::string::npos) args.push_back(words.substr(space + 1));
      Times t = TimeProgram(args, options.runs);
      std::printf("  %-13s %-38s %s\n",
                  std::string(SearchTypeLabel(q.type)).c_str(), q.words.c_str(),
                  t.Text().c_str());
    }
    Times t = TimeProgram({options.program, "--version"}, options.runs);
    std::printf("  start of the program alone (--version)               %s\n",
                t.Text().c_str());
  }

  // The figures are only as good as the quiet of the machine.
  const MachineTime machine_end = ReadMachineTime();
  const double total = machine_end.total - machine_start.total;
  const double others =
      machine_end.busy - machine_start.busy - (OwnTime() - own_start);
  if (total > 0) {
    std::printf("\nother work kept the %ld processors %.0f %% busy meanwhile\n",
                sysconf(_SC_NPROCESSORS_ONLN), std::max(0.0, 100 * others / total));
  }
  return 0;
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv) {
  orvane::Options options;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (a == "--tree") options.tree = value();
    else if (a == "--work") options.work = value();
    else if (a == "--program") options.program = value();
    else if (a == "--runs") options.runs = std::max(1, std::atoi(value().c_str()));
    else if (a == "--rebuild-runs") options.rebuild_runs = std::max(1, std::atoi(value().c_str()));
    else { std::fputs(orvane::kUsage, stderr); return 2; }
  }
  if (options.tree.empty() || options.work.empty()) {
    std::fputs(orvane::kUsage, stderr);
    return 2;
  }
  return orvane::Run(options);
}
