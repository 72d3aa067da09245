// orvane_bench_search_window: what the Search Module window adds to the
// engine's search and listing. It indexes a tree made by orvane_make_tree,
// then times the same searches (a common word that finds the most files a
// search lists, and a rare word) and the listing of the indexed files,
// once through the engine alone with silent ports and once by clicking the
// real window's buttons (headless unless a display is asked for). Figures
// are medians of several runs, the index loaded beforehand.
#include <stdlib.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/frmMain.h"
#include "app/qt_ports.h"
#include "app/search/frmSearchMain.h"
#include "app/shell/controls.h"
#include "app/shell/frmLargeDisplay.h"
#include "bench/silent_ports.h"
#include "engine/common/launcher_state.h"
#include "engine/common/program_folder.h"
#include "engine/common/program_texts.h"
#include "engine/files/folder.h"
#include "engine/index/index_settings.h"
#include "engine/modules/index_module.h"
#include "engine/modules/search_module.h"
#include "engine/search/data_file.h"

namespace orvane {
namespace {

constexpr char kUsage[] =
    "Usage: orvane_bench_search_window --tree DIR --work DIR [--runs N]\n"
    "\n"
    "Indexes the tree DIR (made by orvane_make_tree) into the folder --work,\n"
    "then times a common and a rare word and the listing of the indexed\n"
    "files through the engine alone and through the Search Module window.\n";

using Clock = std::chrono::steady_clock;

class NoView : public ViewState {
 public:
  void SetText(std::string_view, std::string_view) override {}
  void SetEnabled(std::string_view, bool) override {}
  void SetVisible(std::string_view, bool) override {}
};

// Median milliseconds of runs calls.
double Median(int runs, const std::function<void()>& work) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    work();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start)
                     .count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

std::string IndexTree(const std::string& tree, const std::string& work,
                      Prompter& prompter) {
  NoView view;
  bench::NoYield yield;
  bench::NoDisplay display;
  bench::WallClock clock;
  LauncherState launcher;
  IndexModule indexer(IndexPorts{prompter, view, yield, display, clock, launcher});
  IndexSettings& settings = indexer.settings();
  SetDefaults(&settings);
  settings.txbProjectName = "window_bench";
  settings.txbTitle = "Window benchmark";
  settings.txbTopFolder = tree;
  settings.txbOutputFolder = work;
  FolderError error;
  if (!IncludeWholeTree(&settings, &error)) return std::string();
  settings.txbMinimumFilesize = "0";
  indexer.common_words().LoadCommonWords(ProgramFilePath("cwds.txt"));
  if (indexer.CreateIndexFile() != RunOutcome::kCompleted) return std::string();
  return indexer.state().index_path;
}

// The most common and a rare letters-only word of the loaded index, by the
// number of files that hold them.
struct Picked {
  std::string common;
  std::string second;  // the next most common
  std::string rare;
};

Picked PickWords(const LoadedIndex& index) {
  std::vector<std::pair<int, std::string>> by_files;
  IndexStoreReader& store = *index.store;
  Postings postings;
  const std::uint32_t words = store.word_count();
  const std::uint32_t step = std::max<std::uint32_t>(1, words / 4000);
  for (std::uint32_t i = 0; i < words; i += step) {
    std::string_view w = store.WordAt(i);
    if (!std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; })) {
      continue;
    }
    (void)store.ReadPostings(store.WordNumberAt(i), &postings);
    by_files.emplace_back(static_cast<int>(postings.size()), std::string(w));
  }
  std::sort(by_files.rbegin(), by_files.rend());
  std::string rare;
  for (const auto& [files, word] : by_files) {
    if (files >= 1 && files <= 3) rare = word;
  }
  return {by_files[0].second, by_files[1].second, rare};
}

int Run(const std::string& tree_arg, const std::string& work_arg, int runs) {
  std::string tree = std::filesystem::absolute(tree_arg).lexically_normal().string();
  if (tree.back() != '/') tree += '/';
  std::string work = std::filesystem::absolute(work_arg).lexically_normal().string();
  if (work.back() != '/') work += '/';
  std::filesystem::create_directories(work);
  if (!LoadProgramTexts("tavo.dat").ok()) return 1;
  bench::QuietPrompter prompter;
  const std::string index_path = IndexTree(tree, work, prompter);
  if (index_path.empty()) {
    std::fprintf(stderr, "the tree %s could not be indexed\n", tree.c_str());
    return 1;
  }

  // The engine alone.
  NoView view;
  bench::NoYield yield;
  bench::NoOpener opener;
  bench::NoDisplay display;
  LauncherState launcher_state;
  SearchModule engine(
      SearchPorts{prompter, view, yield, opener, display, launcher_state});
  engine.settings().chkGenerateHTML = false;
  engine.ChooseTopFolder(tree);
  engine.ChooseIndexFile(index_path);
  const auto [common, second, rare] = PickWords(engine.state().index);
  std::printf("%d files indexed; common word '%s', rare word '%s'\n",
              engine.state().index.intNumFiles, common.c_str(), rare.c_str());

  // The window, headless unless a display was asked for.
  QtYield qt_yield;
  QtClock qt_clock;
  QtDialogs dialogs;
  frmMain launcher(prompter, qt_yield, opener, dialogs, qt_clock);
  if (!launcher.Form_Load()) return 1;
  launcher.cmdSearchModule->click();
  auto* window = qobject_cast<frmSearchMain*>(launcher.module());
  if (window == nullptr) return 1;
  window->ReceiveHandOver(tree, index_path);
  FindControl<QCheckBox>(window, "chkGenerateHTML")->setChecked(false);
  FindControl<QLineEdit>(window, "txbSearchWords")
      ->setText(QString::fromStdString(rare));
  FindControl<QPushButton>(window, "cmdSearch")->click();  // loads the index

  std::printf("\n%-34s %10s %10s %10s\n", "median of runs (ms)", "engine",
              "window", "files");
  for (const std::string& word : {common, rare}) {
    engine.settings().txbSearchWords = word;
    const double alone = Median(runs, [&] { engine.Search(); });
    FindControl<QLineEdit>(window, "txbSearchWords")
        ->setText(QString::fromStdString(word));
    const double in_window = Median(
        runs, [&] { FindControl<QPushButton>(window, "cmdSearch")->click(); });
    std::printf("search '%-24s %10.2f %10.2f %10d\n", (word + "'").c_str(), alone,
                in_window, window->module().state().intNumFilesFound);
  }
  // Stop clicked while the exact phrase is confirmed in the candidate
  // files: the time from the moment of the click (30 ms into the run) to
  // the end of the run, the wait for the window to see the click included.
  {
    FindControl<QComboBox>(window, "cboSearchType")->setCurrentIndex(2);
    FindControl<QLineEdit>(window, "txbSearchWords")
        ->setText(QString::fromStdString(common + " " + second));
    std::vector<double> answers;
    for (int i = 0; i < runs; ++i) {
      bool clicked = false;
      QTimer::singleShot(30, window, [&] {
        clicked = true;
        FindControl<QPushButton>(window, "cmdSearch")->click();
      });
      const Clock::time_point due = Clock::now() + std::chrono::milliseconds(30);
      FindControl<QPushButton>(window, "cmdSearch")->click();
      if (clicked) {
        answers.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - due).count());
      }
      QCoreApplication::processEvents();
    }
    std::sort(answers.begin(), answers.end());
    if (answers.empty()) {
      std::printf("Stop during the exact phrase: the run ended before it\n");
    } else {
      std::printf("%-34s %10s %10.2f\n", "Stop answers during exact phrase", "",
                  answers[answers.size() / 2]);
    }
    FindControl<QComboBox>(window, "cboSearchType")->setCurrentIndex(1);
  }
  engine.settings().optByFolder = true;
  FindControl<QRadioButton>(window, "optByFolder")->setChecked(true);
  const double list_alone = Median(runs, [&] { engine.ListIndexedFiles(); });
  const double list_window = Median(runs, [&] {
    FindControl<QPushButton>(window, "cmdListIndexedFiles")->click();
  });
  std::printf("%-34s %10.2f %10.2f\n", "list indexed files, by folder",
              list_alone, list_window);
  launcher.large_display().Hide();
  window->close();
  return 0;
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv) {
  std::string tree;
  std::string work;
  int runs = 7;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (a == "--tree") tree = value();
    else if (a == "--work") work = value();
    else if (a == "--runs") runs = std::max(1, std::atoi(value().c_str()));
    else {
      std::fputs(orvane::kUsage, stderr);
      return 2;
    }
  }
  if (tree.empty() || work.empty()) {
    std::fputs(orvane::kUsage, stderr);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("ORVANE_OPEN", "true", 0);
  QApplication application(argc, argv);
  return orvane::Run(tree, work, runs);
}
