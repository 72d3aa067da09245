// orvane_bench_best_files: what listing the best 500 of many matches costs.
// A store held in memory gives one word to 100,000 files (scores 1 to 255
// from a fixed seed) whose empty files stand in a temporary top folder, and
// the search run is timed: sorted (the 500 highest-scoring of all the
// matches), unsorted (the first 500 in index order), and sorted when only
// the first 500 files match (the sort of 500 that a list of the first 500
// costs); beside them, the choice of the best 500 alone. Figures are
// medians of several runs, with the files' entries in the page cache.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/silent_ports.h"
#include "engine/common/launcher_state.h"
#include "engine/format/index_store.h"
#include "engine/search/search_run.h"
#include "engine/search/search_state.h"

namespace orvane {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kFiles = 100000;
constexpr int kRuns = 21;

// One word, "common", held by the files given, each with its score.
class MemoryStore : public IndexStoreReader {
 public:
  MemoryStore(std::vector<std::string> paths, Postings postings)
      : paths_(std::move(paths)), postings_(std::move(postings)) {}
  std::uint32_t file_count() const override {
    return static_cast<std::uint32_t>(paths_.size());
  }
  IndexedFile File(std::uint32_t file_index) const override {
    IndexedFile file;
    file.relative_path = paths_[file_index];
    return file;
  }
  std::string_view title() const override { return "Best files"; }
  std::uint32_t word_count() const override { return 1; }
  std::string_view WordAt(std::uint32_t) const override { return "common"; }
  std::int32_t WordNumberAt(std::uint32_t) const override { return 1; }
  std::optional<std::int32_t> FindWord(std::string_view word) const override {
    if (word == "common") return 1;
    return std::nullopt;
  }
  WordRange StemRange(std::string_view stem) const override {
    return std::string_view("common").starts_with(stem) ? WordRange{0, 1}
                                                        : WordRange{};
  }
  Status ReadPostings(std::int32_t word_number, Postings* postings) override {
    if (word_number == 1) {
      *postings = postings_;
    } else {
      postings->clear();
    }
    return Status::Ok();
  }

 private:
  std::vector<std::string> paths_;
  Postings postings_;
};

class NoView : public ViewState {
 public:
  void SetText(std::string_view, std::string_view) override {}
  void SetEnabled(std::string_view, bool) override {}
  void SetVisible(std::string_view, bool) override {}
};

double Median(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

double TimeMs(const std::function<void()>& f) {
  std::vector<double> ms;
  for (int i = 0; i < kRuns; ++i) {
    auto start = Clock::now();
    f();
    ms.push_back(
        std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  return Median(ms);
}

// The search run over the store with postings, sorted or not; returns the
// median milliseconds and the found-files text of the last run.
double TimeSearch(const std::string& top, const std::vector<std::string>& paths,
                  const Postings& postings, bool sorted, std::string* count) {
  bench::QuietPrompter prompter;
  NoView view;
  bench::NoYield yield;
  bench::NoOpener opener;
  bench::NoDisplay display;
  LauncherState launcher;
  SearchPorts ports{prompter, view, yield, opener, display, launcher};
  SearchSettings settings;
  settings.txbTopFolder = top;
  settings.cboSearchType = SearchType::kAnyWord;
  settings.chkSortMatches = sorted;
  settings.chkDisplayDescriptions = false;
  SearchState state(view);
  state.index.Use(std::make_unique<MemoryStore>(paths, postings));
  state.index.blnDataFileReady = true;
  state.strSearchWords = {"common"};
  const double ms = TimeMs([&] {
    if (RunSearch(settings, &state, ports) != SearchRunOutcome::kFinished) {
      std::fprintf(stderr, "the search did not finish\n");
      std::exit(1);
    }
  });
  *count = FoundFilesCountText(state);
  return ms;
}

int Run() {
  const std::filesystem::path top_path =
      std::filesystem::temp_directory_path() /
      ("orvane_best_files_" + std::to_string(::getpid()));
  const std::string top = top_path.string() + "/";
  std::vector<std::string> paths;
  std::mt19937 random(2026);
  Postings all;
  for (std::uint32_t k = 0; k < kFiles; ++k) {
    char name[32];
    std::snprintf(name, sizeof name, "d%03u/f%06u.txt", k / 1000, k);
    paths.push_back(name);
    std::filesystem::create_directories((top_path / name).parent_path());
    std::ofstream(top + name).put('x');
    all.file_indexes.push_back(k);
    all.scores.push_back(static_cast<std::uint8_t>(1 + random() % 255));
  }
  Postings first_500;
  first_500.file_indexes.assign(all.file_indexes.begin(),
                                all.file_indexes.begin() + 500);
  first_500.scores.assign(all.scores.begin(), all.scores.begin() + 500);

  std::printf("%u files in %s, one word in every file, %d runs each\n\n",
              kFiles, top.c_str(), kRuns);
  // The new files are written out first, so that their writing does not
  // slow the runs timed; a first search untimed brings them all into the
  // caches.
  ::sync();
  std::string count;
  TimeSearch(top, paths, all, true, &count);
  const double sorted = TimeSearch(top, paths, all, true, &count);
  std::printf("sorted, best 500 of %u matches  %8.2f ms   (%s)\n", kFiles,
              sorted, count.c_str());
  const double unsorted = TimeSearch(top, paths, all, false, &count);
  std::printf("unsorted, first 500 of %u       %8.2f ms   (%s)\n", kFiles,
              unsorted, count.c_str());
  const double only_500 = TimeSearch(top, paths, first_500, true, &count);
  std::printf("sorted, 500 matches in all          %8.2f ms   (%s)\n",
              only_500, count.c_str());

  std::vector<FileScore> matches;
  for (std::uint32_t k = 0; k < kFiles; ++k) {
    matches.push_back(FileScore{k, all.scores[k]});
  }
  auto below = [](const FileScore& a, const FileScore& b) {
    return a.score != b.score ? a.score < b.score : a.file_index > b.file_index;
  };
  std::vector<std::uint32_t> best;
  const double choice = TimeMs([&] {
    best.clear();
    std::vector<FileScore> heap = matches;
    std::make_heap(heap.begin(), heap.end(), below);
    for (int i = 0; i < 500; ++i) {
      std::pop_heap(heap.begin(), heap.end(), below);
      best.push_back(heap.back().file_index);
      heap.pop_back();
    }
  });
  std::printf("choice of the best 500 alone        %8.2f ms\n", choice);
  // The same 500 files as the only matches: what listing them costs
  // without the choice, their folders spread as the best files' are.
  std::sort(best.begin(), best.end());
  Postings best_only;
  for (std::uint32_t k : best) {
    best_only.file_indexes.push_back(k);
    best_only.scores.push_back(all.scores[k]);
  }
  const double best_alone = TimeSearch(top, paths, best_only, true, &count);
  std::printf("sorted, those 500 the only matches  %8.2f ms   (%s)\n",
              best_alone, count.c_str());
  std::printf("\nbest 500 of %u minus the same 500 alone: %+.2f ms\n",
              kFiles, sorted - best_alone);
  std::filesystem::remove_all(top_path);
  return 0;
}

}  // namespace
}  // namespace orvane

int main() { return orvane::Run(); }
