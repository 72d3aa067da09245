// orvane_bench_large_display: how the large display window copes with a
// text as long as a listing of a million files or a report of a hundred
// megabytes. It hands the window the listing in one DisplayArray and a
// report line by line (as the text report writes it), and prints how long
// each took until the window had painted, how long scrolling to the middle
// and to the end, selecting everything and copying it took, how late a
// 10 ms timer fired meanwhile, and the peak memory. Headless unless a
// display is asked for.
#include <stdlib.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/qt_ports.h"
#include "app/shell/frmLargeDisplay.h"
#include "engine/common/program_texts.h"

namespace orvane {
namespace {

constexpr char kUsage[] =
    "Usage: orvane_bench_large_display [--lines N] [--width CHARS]\n"
    "\n"
    "Fills the large display window with N lines (default 1,000,000) of\n"
    "about CHARS characters (default 100) and times what the user does.\n";

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start)
      .count();
}

// Lets the window paint and handle what is pending.
void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

long PeakKilobytes() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return -1;
  char line[256];
  long peak = -1;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, "VmHWM:", 6) == 0) peak = std::atol(line + 6);
  }
  std::fclose(status);
  return peak;
}

// Measures the latest a 10 ms timer fires while work runs.
class Lateness {
 public:
  Lateness() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (last_.isValid())
        worst_ = std::max<qint64>(worst_, last_.elapsed() - 10);
      last_.restart();
    });
    timer_.start();
  }
  qint64 worst() const { return worst_; }

 private:
  QTimer timer_;
  QElapsedTimer last_;
  qint64 worst_ = 0;
};

int Run(long lines, int width) {
  frmLargeDisplay display;
  display.resize(900, 700);
  display.Show();
  Settle();
  std::vector<std::string> items;
  items.reserve(static_cast<std::size_t>(lines));
  for (long i = 0; i < lines; ++i) {
    std::string path = "folder " + std::to_string(i % 977) + "/file number " +
                       std::to_string(i);
    if (static_cast<int>(path.size()) < width) {
      path.append(static_cast<std::size_t>(width) - path.size(), 'x');
    }
    items.push_back(path + ".txt");
  }

  auto start = Clock::now();
  display.SetCaption("Listing");
  display.Clear();
  display.DisplayArray(items, 0, static_cast<std::int32_t>(lines - 1),
                       "That's all.", true);
  Settle();
  const double shown = Since(start);
  std::printf("listing of %ld lines, %.1f MB: shown in %.0f ms\n", lines,
              static_cast<double>(display.text().size()) / 1e6, shown);

  QScrollBar* bar = display.txbOutput->verticalScrollBar();
  start = Clock::now();
  bar->setValue(bar->maximum() / 2);
  Settle();
  std::printf("  scroll to the middle: %.1f ms\n", Since(start));
  start = Clock::now();
  display.ShowEnd();
  Settle();
  std::printf("  scroll to the end: %.1f ms\n", Since(start));
  start = Clock::now();
  display.txbOutput->selectAll();
  Settle();
  std::printf("  select all: %.1f ms\n", Since(start));
  start = Clock::now();
  display.cmdCopyToClipboard->click();
  std::printf(
      "  copy %lld characters: %.0f ms\n",
      static_cast<long long>(QGuiApplication::clipboard()->text().size()),
      Since(start));

  // The report: a line at a time, letting the window system run between
  // lines as the text report does (the program's yield, which runs it at
  // most every 20 ms).
  display.Clear();
  Settle();
  QtYield yield;
  Lateness lateness;
  double longest_line_ms = 0;
  start = Clock::now();
  for (long i = 0; i < lines; ++i) {
    const auto line_start = Clock::now();
    display.Output(items[static_cast<std::size_t>(i)], 1, false);
    yield.ProcessPendingEvents();
    longest_line_ms = std::max(longest_line_ms, Since(line_start));
  }
  display.ShowBeginning();
  Settle();
  std::printf(
      "report of %ld lines written line by line: %.0f ms; the longest "
      "line with its yield %.0f ms; a 10 ms timer at most %lld ms "
      "late\n",
      lines, Since(start), longest_line_ms,
      static_cast<long long>(lateness.worst()));
  std::printf("peak memory: %ld MB\n", PeakKilobytes() / 1024);
  return 0;
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv) {
  long lines = 1000000;
  int width = 100;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--lines" && i + 1 < argc) {
      lines = std::atol(argv[++i]);
    } else if (arg == "--width" && i + 1 < argc) {
      width = std::atoi(argv[++i]);
    } else {
      std::fputs(orvane::kUsage, arg == "--help" ? stdout : stderr);
      return arg == "--help" ? 0 : 2;
    }
  }
  if (lines < 1 || width < 1) {
    std::fputs(orvane::kUsage, stderr);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  if (!orvane::LoadProgramTexts("tavo.dat").ok()) {
    std::fputs("orvane_bench_large_display: tavo.dat not found beside it\n",
               stderr);
    return 2;
  }
  return orvane::Run(lines, width);
}
