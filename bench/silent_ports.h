// Ports for the benchmarks: nothing is shown, opened or waited for, and the
// clock is the steady clock, so that only the engine's own work is timed.
#ifndef ORVANE_BENCH_SILENT_PORTS_H_
#define ORVANE_BENCH_SILENT_PORTS_H_

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/ports.h"

namespace orvane::bench {

// Messages go to standard error; questions get Yes, or OK.
class QuietPrompter : public Prompter {
 public:
  void ShowMessage(MessageIcon, std::string_view title,
                   std::string_view text) override {
    std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(title.size()),
                 title.data(), static_cast<int>(text.size()), text.data());
  }
  Answer Ask(MessageIcon, std::string_view, std::string_view,
             MessageButtons buttons) override {
    return buttons == MessageButtons::kOk || buttons == MessageButtons::kOkCancel
               ? Answer::kOk
               : Answer::kYes;
  }
};

class NoYield : public Yield {
 public:
  void ProcessPendingEvents() override {}
};

// Refuses every document, as a desktop without an opener would.
class NoOpener : public Opener {
 public:
  int Open(const std::string&) override { return 42; }
};

class NoDisplay : public LargeDisplay {
 public:
  void SetCaption(std::string_view) override {}
  void SetBufferFullMessage(std::string_view) override {}
  void SetCopyButtonCaption(std::string_view) override {}
  void Show() override {}
  void Hide() override {}
  bool IsVisible() override { return true; }
  bool ReportBufferFull() override { return false; }
  void Clear() override {}
  void Output(std::string_view, std::int16_t, bool) override {}
  void DisplayArray(const std::vector<std::string>&, std::int32_t, std::int32_t,
                    std::string_view, bool) override {}
};

class WallClock : public Clock {
 public:
  double SecondsSinceMidnight() override {
    return std::chrono::duration<double>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

}  // namespace orvane::bench

#endif  // ORVANE_BENCH_SILENT_PORTS_H_
