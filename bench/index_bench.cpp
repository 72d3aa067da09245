// orvane_bench_index: indexes a folder tree with the engine, as "Create
// index file" does, and prints how fast it went beside a plain read of the
// same files in the same run.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench/silent_ports.h"
#include "engine/common/program_texts.h"
#include "engine/files/background_deletion.h"
#include "engine/files/folder.h"
#include "engine/modules/index_module.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr std::string_view kUsage =
    "Usage: orvane_bench_index --top DIR [--out DIR] [--runs N]\n"
    "                          [--min-size N] [--special-letters 0|1]\n"
    "                          [--texts FILE]\n"
    "\n"
    "Indexes every file of DIR and of all its subfolders (as the Index\n"
    "Module with every subfolder and their subfolders included) into the\n"
    "project bench in --out (default: a new temporary folder, removed\n"
    "afterwards), N times (default 3; each run replaces the files of the\n"
    "one before, as a user's repeated run does), and after each run reads\n"
    "the indexed files plainly, twice. Prints files/s, MB/s, the time of\n"
    "each phase (min / median / max), peak memory, the data file's logical\n"
    "and allocated size and the ratio of the run to the plain read of the\n"
    "same run. --min-size defaults to 400 and --special-letters to 1, as\n"
    "the Index Module's defaults; --texts names tavo.dat (default: the one\n"
    "beside this program).\n";

double Seconds(SteadyClock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Messages go to standard error; questions get Yes.
class BenchPrompter : public orvane::Prompter {
 public:
  void ShowMessage(orvane::MessageIcon, std::string_view title,
                   std::string_view text) override {
    std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(title.size()),
                 title.data(), static_cast<int>(text.size()), text.data());
  }
  orvane::Answer Ask(orvane::MessageIcon icon, std::string_view title,
                     std::string_view text, orvane::MessageButtons) override {
    ShowMessage(icon, title, text);
    return orvane::Answer::kYes;
  }
};

// Notes when the run's passes begin, from the labels it sets.
class PhaseView : public orvane::ViewState {
 public:
  void Reset() { *this = PhaseView(); }
  void SetText(std::string_view control, std::string_view text) override {
    SteadyClock::time_point now = SteadyClock::now();
    if (control == "lblCurrentFile") status_ = std::string(text);
    // After the lexicon is written the button reads "Finishing" again, as
    // it did at the end of the counting pass.
    if (control == "cmdExtractData" && writing_ != SteadyClock::time_point() &&
        lexicon_ == SteadyClock::time_point() && text.rfind("Pause", 0) != 0) {
      lexicon_ = now;
    }
    if (control != "lblNowProcessingFile") return;
    if (text.rfind("Now processing file #1.", 0) == 0) extraction_ = now;
    if (!text.empty() && text.rfind("Now processing", 0) != 0 &&
        text.rfind("Counting", 0) != 0 &&
        extraction_ != SteadyClock::time_point()) {
      writing_ = now;
    }
  }
  void SetEnabled(std::string_view, bool) override {}
  void SetVisible(std::string_view, bool) override {}

  SteadyClock::time_point extraction_{};
  SteadyClock::time_point writing_{};
  SteadyClock::time_point lexicon_{};
  std::string status_;
};

using orvane::bench::NoDisplay;
using orvane::bench::NoYield;
using orvane::bench::WallClock;

// Reads the files whole through a large buffer; returns the bytes read.
std::uint64_t PlainRead(const std::string& top,
                        const std::vector<std::string>& relative_paths) {
  std::vector<char> buffer(256 * 1024);
  std::uint64_t total = 0;
  for (const std::string& relative : relative_paths) {
    int fd = open((top + relative).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    ssize_t got;
    while ((got = read(fd, buffer.data(), buffer.size())) > 0) total += got;
    close(fd);
  }
  return total;
}

void AllFolders(const std::string& folder, std::vector<std::string>* out,
                const std::string& relative) {
  orvane::FolderListing listing;
  orvane::FolderError error;
  if (!orvane::ListFolder(folder, &listing, &error)) return;
  for (const std::string& name : listing.subfolders) {
    out->push_back(relative + name);
    AllFolders(folder + name + "/", out, relative + name + "/");
  }
}

// The figures of one indexing run.
struct RunFigures {
  double run = 0, counting = 0, extraction = 0, lexicon = 0, finishing = 0;
  double read = 0;  // the plain read of the same files, right after
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// "min / median / max" of one figure over the runs.
std::string Spread(const std::vector<RunFigures>& runs,
                   double RunFigures::*figure, double scale = 1) {
  std::vector<double> values;
  for (const RunFigures& r : runs) values.push_back(r.*figure * scale);
  char text[96];
  std::snprintf(text, sizeof text, "%7.3f %7.3f %7.3f",
                *std::min_element(values.begin(), values.end()),
                Median(values), *std::max_element(values.begin(), values.end()));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  std::string top, out, min_size = "400", texts;
  bool special = true;
  int runs = 3;
  for (int i = 1; i < argc; ++i) {
    std::string_view flag = argv[i];
    if (flag == "--help" || flag == "-h" || i + 1 >= argc) {
      std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
      return flag == "--help" || flag == "-h" ? 0 : 2;
    }
    std::string value = argv[++i];
    if (flag == "--top") top = value;
    else if (flag == "--out") out = value;
    else if (flag == "--min-size") min_size = value;
    else if (flag == "--special-letters") special = value == "1";
    else if (flag == "--texts") texts = value;
    else if (flag == "--runs") runs = std::max(1, std::atoi(value.c_str()));
    else {
      std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
      return 2;
    }
  }
  if (top.empty()) {
    std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
    return 2;
  }
  if (top.back() != '/') top += '/';
  orvane::Status loaded = texts.empty() ? orvane::LoadProgramTexts("tavo.dat")
                                        : orvane::LoadProgramTextsFrom(texts);
  if (!loaded.ok()) {
    std::fprintf(stderr, "%s\n", loaded.message().c_str());
    return 1;
  }
  bool own_out = out.empty();
  if (own_out) {
    std::string pattern = (std::filesystem::temp_directory_path() /
                           "orvane-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 1;
    out = pattern;
  }
  if (out.back() != '/') out += '/';

  // Every subfolder at every depth: the first level, with their subfolders.
  orvane::FolderListing listing;
  orvane::FolderError error;
  orvane::ListFolder(top, &listing, &error);
  orvane::IndexSettings settings;
  settings.txbProjectName = "bench";
  settings.txbTitle = "Benchmark";
  settings.txbTopFolder = top;
  settings.txbOutputFolder = out;
  for (const std::string& name : listing.subfolders) {
    settings.txbIncludedFolders += name + "\r\n";
  }
  settings.chkIncludeSubfoldersOfSubfolders = true;
  settings.txbMinimumFilesize = min_size;
  settings.chkExcludeSpecialLetters = special;

  // Warm the cache: the comparison is with a warm plain read.
  std::vector<std::string> folders;
  AllFolders(top, &folders, "");

  BenchPrompter prompter;
  PhaseView view;
  NoYield yield;
  NoDisplay display;
  WallClock clock;
  orvane::LauncherState launcher;
  orvane::IndexPorts ports{prompter, view, yield, display, clock, launcher};
  const std::filesystem::path common_words =
      std::filesystem::path(argv[0]).parent_path() / "cwds.txt";
  // Both modules run on the same settings and common words.
  auto prepare = [&](orvane::IndexModule& m) {
    m.settings() = settings;
    m.common_words().LoadCommonWords(common_words);
  };
  {
    // A first listing reads every file's head and warms the cache.
    orvane::IndexModule warm(ports);
    prepare(warm);
    warm.ExtractData(true);
    PlainRead(top, warm.state().file_list);
  }

  // The old files of a run are deleted by the next one; their blocks are
  // freed behind the run, as a user's repeated run frees them, and waited
  // for only when the program ends.
  orvane::IndexModule module(ports);
  prepare(module);
  std::vector<RunFigures> figures;
  std::uint64_t bytes = 0;
  for (int r = 0; r < runs; ++r) {
    view.Reset();
    SteadyClock::time_point start = SteadyClock::now();
    orvane::RunOutcome outcome = module.CreateIndexFile();
    SteadyClock::time_point end = SteadyClock::now();
    if (outcome != orvane::RunOutcome::kCompleted) {
      std::fprintf(stderr, "The run did not complete: %s\n", view.status_.c_str());
      return 1;
    }
    RunFigures f;
    f.run = Seconds(end - start);
    if (view.lexicon_ != SteadyClock::time_point()) {
      f.counting = Seconds(view.extraction_ - start);
      f.extraction = Seconds(view.writing_ - view.extraction_);
      f.lexicon = Seconds(view.lexicon_ - view.writing_);
      f.finishing = Seconds(end - view.lexicon_);
    }
    // The data file is not synced by the run; what it left in the cache
    // goes to the disk here, untimed, so that the next run and the plain
    // read do not wait for it.
    ::sync();
    f.read = 1e9;
    for (int i = 0; i < 2; ++i) {
      SteadyClock::time_point read_start = SteadyClock::now();
      bytes = PlainRead(top, module.state().file_list);
      f.read = std::min(f.read, Seconds(SteadyClock::now() - read_start));
    }
    figures.push_back(f);
    std::fprintf(stderr, "run %d: %.3f s (plain read %.3f s, ratio %.1f)\n",
                 r + 1, f.run, f.read, f.run / f.read);
  }

  std::int32_t files = module.file_count();
  struct stat data, index;
  stat(module.state().data_path.c_str(), &data);
  stat(module.state().index_path.c_str(), &index);
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  double mb = bytes / 1048576.0;
  std::vector<double> runs_s, ratios;
  for (const RunFigures& f : figures) {
    runs_s.push_back(f.run);
    ratios.push_back(f.run / f.read);
  }
  double run = Median(runs_s);
  double read = Median([&] {
    std::vector<double> v;
    for (const RunFigures& f : figures) v.push_back(f.read);
    return v;
  }());
  std::printf("tree            %s\n", top.c_str());
  std::printf("files indexed   %d (%.1f MB), %d distinct words\n", files, mb,
              module.word_count());
  std::printf("runs            %zu; figures below are medians, phases as "
              "min / median / max\n", figures.size());
  std::printf("whole run       %.3f s: %.0f files/s, %.1f MB/s\n", run,
              files / run, mb / run);
  std::printf("                %s s\n", Spread(figures, &RunFigures::run).c_str());
  std::printf("  counting      %s s\n", Spread(figures, &RunFigures::counting).c_str());
  std::printf("  extraction    %s s\n", Spread(figures, &RunFigures::extraction).c_str());
  std::printf("  lexicon       %s s (sorted and written)\n",
              Spread(figures, &RunFigures::lexicon).c_str());
  std::printf("  finishing     %s s (count lines, rest of the data file, "
              "compression, sync)\n",
              Spread(figures, &RunFigures::finishing).c_str());
  std::printf("plain read      %.3f s: %.0f files/s, %.1f MB/s\n", read,
              files / read, mb / read);
  std::printf("ratio           %.2f (whole run / plain read of the same run; "
              "min %.2f, max %.2f)\n",
              Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()));
  std::printf("peak memory     %.1f MB\n", usage.ru_maxrss / 1024.0);
  std::printf("data file       %lld bytes logical, %lld bytes allocated\n",
              static_cast<long long>(data.st_size),
              static_cast<long long>(data.st_blocks) * 512);
  std::printf("index file      %lld bytes (compressed)\n",
              static_cast<long long>(index.st_size));
  std::fflush(stdout);
  if (own_out) {
    std::fprintf(stderr, "Removing %s (freeing its blocks can take a while)\n",
                 out.c_str());
    orvane::BackgroundDeletion deletion;
    (void)deletion.Delete(module.state().data_path);
    std::filesystem::remove_all(out);
  }
  return 0;
}
