// orvane_bench_why: what telling changed files and answering "why not
// found?" cost on an indexed tree. Given an index file (made by `orvane
// index`, so that its settings lie beside it), it prints, as medians of
// several runs: the load of the index; the answer for an indexed file with
// two words, for a file the rules left out and for one that does not
// exist; the work the marks of changed files add to a search that lists
// 500 files (beside the 500 stats the search makes anyway); and, given the
// program, whole `orvane why` runs beside `orvane --version`.
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/silent_ports.h"
#include "engine/common/launcher_state.h"
#include "engine/common/program_folder.h"
#include "engine/common/program_texts.h"
#include "engine/index/common_words.h"
#include "engine/index/index_settings.h"
#include "engine/modules/why_not_found.h"
#include "engine/search/file_changes.h"
#include "engine/search/index_loading.h"
#include "engine/search/loaded_index.h"
#include "engine/search/search_state.h"

extern char** environ;

namespace orvane {
namespace {

using Clock = std::chrono::steady_clock;

class SilentView : public ViewState {
 public:
  void SetText(std::string_view, std::string_view) override {}
  void SetEnabled(std::string_view, bool) override {}
  void SetVisible(std::string_view, bool) override {}
};

double MedianMs(int runs, const std::function<void()>& work) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    Clock::time_point from = Clock::now();
    work();
    ms.push_back(
        std::chrono::duration<double, std::milli>(Clock::now() - from).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

void RunProgram(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1, 0);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
}

int Run(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "Usage: orvane_bench_why INDEX_FILE [ORVANE_PROGRAM]\n");
    return 2;
  }
  const std::string index_file = argv[1];
  if (!LoadProgramTexts(ProgramFilePath("tavo.dat").string()).ok()) {
    std::fprintf(stderr, "tavo.dat not found beside the benchmark\n");
    return 2;
  }
  bench::QuietPrompter prompter;
  IndexSettings settings;
  SettingsOfIndex(index_file, &settings);
  std::string top = settings.txbTopFolder;
  if (!top.empty() && top.back() != '/') top += '/';

  LoadedIndex index;
  index.strDataFile = index_file.substr(0, index_file.size() - 11) + "_data.tavo";
  SilentView silent_view;
  ResultsBox results(silent_view);
  bench::NoYield yield;
  bench::NoOpener opener;
  bench::NoDisplay display;
  LauncherState launcher;
  SearchPorts ports{prompter, silent_view, yield, opener, display, launcher};
  const double load_ms = MedianMs(5, [&] {
    index.Clear();
    LoadIndexFile(index_file, &index, ports, results);
  });
  if (!index.blnDataFileReady) return 2;
  std::printf("index: %u files, %u words\n", index.store->file_count(),
              index.store->word_count());
  std::printf("load of the index (classic pair, data file current): %.2f ms\n",
              load_ms);

  CommonWords common_words;
  common_words.LoadCommonWords(ProgramFilePath("cwds.txt"));
  struct Question {
    const char* what;
    std::string path;
    std::string words;
  };
  const std::uint32_t middle = index.store->file_count() / 2;
  const Question questions[] = {
      {"an indexed file, two words", top + std::string(index.FilePath(middle)),
       "linux kernel"},
      {"a file the rules left out", top + "no_such_folder/../" +
                                        std::string(index.FilePath(0)) + ".pdf",
       ""},
      {"a file that does not exist", top + "no such file.txt", "zzqx"},
  };
  for (const Question& q : questions) {
    WhyQuestion question;
    question.index_file = index_file;
    question.path = q.path;
    question.words = q.words;
    const double ms = MedianMs(7, [&] {
      AnswerWhyNotFound(question, *index.store, common_words);
    });
    std::printf("answer, %s: %.3f ms\n", q.what, ms);
  }

  // The marks: 500 found files, their stats made as the search makes them,
  // then what the marks add: the comparison per file and the folders.
  const std::uint32_t listed = std::min<std::uint32_t>(500, index.store->file_count());
  std::vector<std::optional<FileFacts>> facts(listed);
  std::vector<std::string> found(listed);
  const double stats_ms = MedianMs(7, [&] {
    for (std::uint32_t k = 0; k < listed; ++k) {
      found[k] = std::string(index.FilePath(k));
      facts[k] = RegularFileFacts(top + found[k]);
    }
  });
  FoundFileChanges changes;
  const double marks_ms = MedianMs(7, [&] {
    changes.Start(index_file);
    for (std::uint32_t k = 0; k < listed; ++k) {
      changes.Record(k, k, *index.store, facts[k]);
    }
    changes.FindNewerFolders(top, found);
  });
  std::printf("%u found files: their stats %.3f ms; the marks add %.3f ms "
              "(%d changed, %zu folders newer)\n",
              listed, stats_ms, marks_ms, changes.num_changed,
              changes.newer_folders.size());

  if (argc >= 3) {
    const std::string program = argv[2];
    const double version_ms =
        MedianMs(5, [&] { RunProgram({program, "--version"}); });
    const double why_ms = MedianMs(5, [&] {
      RunProgram({program, "why", "--index", index_file, questions[0].path,
                  "linux", "kernel"});
    });
    std::printf("whole `orvane why` (indexed file, two words): %.1f ms; "
                "`orvane --version`: %.1f ms\n",
                why_ms, version_ms);
  }
  return 0;
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv) { return orvane::Run(argc, argv); }
