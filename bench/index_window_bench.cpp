// orvane_bench_index_window: times "Create index file" in the Index Module
// window (headless, with the window system's own event processing) beside
// `orvane index` with the same settings on the same tree, and how soon the
// window answers a click while the run goes on: the delay of a timer that
// should fire every 10 ms, and the time from Cancel in the pause box to the
// end of the run.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/frmMain.h"
#include "app/index/frmIndexMain.h"
#include "app/qt_ports.h"
#include "app/shell/controls.h"
#include "engine/common/program_texts.h"
#include "engine/files/folder.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr std::string_view kUsage =
    "Usage: orvane_bench_index_window --top DIR --program ORVANE [--runs N]\n"
    "\n"
    "Indexes every file of DIR and of all its subfolders from the Index\n"
    "Module window and with the program's `index` command, N times each\n"
    "(default 3), and prints the median times and their ratio; then starts\n"
    "one more run from the window, measures how late a 10 ms timer fires\n"
    "while it goes on, clicks Pause after two seconds, answers Cancel and\n"
    "measures how long the run takes to end.\n";

double Seconds(SteadyClock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Messages to standard error; the overwrite question gets Yes, the pause
// box Cancel (noting when it was answered).
class BenchPrompter : public orvane::Prompter {
 public:
  void ShowMessage(orvane::MessageIcon, std::string_view title,
                   std::string_view text) override {
    std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(title.size()),
                 title.data(), static_cast<int>(text.size()), text.data());
  }
  orvane::Answer Ask(orvane::MessageIcon, std::string_view title,
                     std::string_view, orvane::MessageButtons) override {
    if (title == "Paused") {
      cancelled_at = SteadyClock::now();
      return orvane::Answer::kCancel;
    }
    return orvane::Answer::kYes;
  }
  SteadyClock::time_point cancelled_at;
};

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

int main(int argc, char** argv) {
  // Each figure shows as soon as it is measured, also into a file.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  std::string top;
  std::string program;
  int runs = 3;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--top" && i + 1 < argc) {
      top = argv[++i];
    } else if (arg == "--program" && i + 1 < argc) {
      program = argv[++i];
    } else if (arg == "--runs" && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else {
      std::fputs(kUsage.data(), stderr);
      return 2;
    }
  }
  if (top.empty() || program.empty() || runs < 1) {
    std::fputs(kUsage.data(), stderr);
    return 2;
  }
  if (top.back() != '/') top += '/';
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() / "orvane_bench_index_window";
  setenv("XDG_DATA_HOME", (scratch / "data").c_str(), 1);

  QApplication application(argc, argv);
  application.setQuitOnLastWindowClosed(false);
  BenchPrompter prompter;
  orvane::QtYield yield;
  orvane::QtOpener opener;
  orvane::QtDialogs dialogs;
  orvane::QtClock clock;
  orvane::frmMain launcher(prompter, yield, opener, dialogs, clock);
  if (!launcher.Form_Load()) return 1;
  launcher.cmdIndexModule->click();
  auto* window = qobject_cast<orvane::frmIndexMain*>(launcher.module());
  if (window == nullptr) return 1;

  orvane::FolderListing listing;
  orvane::FolderError error;
  if (!orvane::ListFolder(top, &listing, &error)) {
    std::fprintf(stderr, "cannot read %s: %s\n", top.c_str(),
                 error.description.c_str());
    return 1;
  }
  QStringList subfolders;
  std::string includes;
  for (const std::string& name : listing.subfolders) {
    subfolders << QString::fromStdString(name);
    includes += " --include " + Quote(name);
  }
  orvane::FindControl<QLineEdit>(window, "txbProjectName")->setText("bench");
  orvane::FindControl<QLineEdit>(window, "txbTitle")->setText("Bench");
  orvane::FindControl<QLineEdit>(window, "txbTopFolder")
      ->setText(QString::fromStdString(top));
  orvane::FindControl<QPlainTextEdit>(window, "txbIncludedFolders")
      ->setPlainText(subfolders.join('\n'));
  orvane::FindControl<QCheckBox>(window, "chkIncludeSubfoldersOfSubfolders")
      ->setChecked(true);
  window->RefreshTopFolderState();

  std::vector<double> window_times;
  std::vector<double> command_times;
  // Every run writes into a new folder: no run pays for deleting the files
  // of the one before.
  auto fresh_folder = [&](const char* kind, int run) {
    std::filesystem::path folder = scratch / (kind + std::to_string(run));
    std::filesystem::create_directories(folder);
    return folder.string() + "/";
  };
  for (int run = 0; run <= runs; ++run) {
    orvane::FindControl<QLineEdit>(window, "txbOutputFolder")
        ->setText(QString::fromStdString(fresh_folder("window", run)));
    if (run == runs) break;  // the folder of the run that is paused
    const std::string command =
        Quote(program) + " index --quiet --top " + Quote(top) + " --out " +
        Quote(fresh_folder("command", run)) +
        " --project bench --title Bench --subsub" + includes + " > /dev/null";
    auto start = SteadyClock::now();
    orvane::FindControl<QPushButton>(window, "cmdExtractData")->click();
    window_times.push_back(Seconds(SteadyClock::now() - start));
    start = SteadyClock::now();
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "the command failed: %s\n", command.c_str());
      return 1;
    }
    command_times.push_back(Seconds(SteadyClock::now() - start));
    std::printf("run %d: window %.2f s, command %.2f s\n", run + 1,
                window_times.back(), command_times.back());
  }
  const double window_median = Median(window_times);
  const double command_median = Median(command_times);
  const double window_best = *std::min_element(window_times.begin(), window_times.end());
  const double command_best =
      *std::min_element(command_times.begin(), command_times.end());
  std::printf("median: window %.2f s, command %.2f s, window/command %.3f\n",
              window_median, command_median, window_median / command_median);
  std::printf("best:   window %.2f s, command %.2f s, window/command %.3f\n",
              window_best, command_best, window_best / command_best);

  // Answering while the run goes on: a timer due every 10 ms, and Pause
  // with Cancel after two seconds.
  QElapsedTimer since_tick;
  std::vector<double> late_ms;
  QTimer ticker;
  ticker.setInterval(10);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    if (since_tick.isValid()) {
      late_ms.push_back(std::max(0.0, since_tick.nsecsElapsed() / 1e6 - 10.0));
    }
    since_tick.restart();
  });
  ticker.start();
  QTimer::singleShot(
      2000, orvane::FindControl<QPushButton>(window, "cmdExtractData"), [&] {
        orvane::FindControl<QPushButton>(window, "cmdExtractData")->click();
      });
  orvane::FindControl<QPushButton>(window, "cmdExtractData")->click();
  const auto ended = SteadyClock::now();
  ticker.stop();
  if (!late_ms.empty()) {
    std::sort(late_ms.begin(), late_ms.end());
    std::printf(
        "while running: a 10 ms timer fired late by %.1f ms (median), "
        "%.1f ms (99th percentile), %.1f ms (most), %zu ticks\n",
        late_ms[late_ms.size() / 2], late_ms[late_ms.size() * 99 / 100],
        late_ms.back(), late_ms.size());
  }
  if (prompter.cancelled_at != SteadyClock::time_point()) {
    std::printf("Cancel in the pause box to the end of the run: %.1f ms\n",
                Seconds(ended - prompter.cancelled_at) * 1000);
  } else {
    std::printf("the run ended before the pause click\n");
  }
  std::filesystem::remove_all(scratch);
  return 0;
}
