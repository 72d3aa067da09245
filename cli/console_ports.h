// Console adapters of the engine's ports: messages go to standard error,
// questions get the answer the command line was told to give, progress
// labels go to standard error at most a few times a second, and the large
// display window's text goes to standard output.
#pragma once

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include "engine/common/ports.h"

namespace orvane {

// Display text with its CR LF line breaks made LF, as the console wants.
std::string ConsoleText(std::string_view text);

class ConsolePrompter : public Prompter {
 public:
  // Questions are answered with Yes (or OK) unless told otherwise.
  void set_default_answer(Answer answer) { default_answer_ = answer; }
  void ShowMessage(MessageIcon icon, std::string_view title,
                   std::string_view text) override;
  Answer Ask(MessageIcon icon, std::string_view title, std::string_view text,
             MessageButtons buttons) override;
  // Number of warning, error and critical messages shown.
  int problems() const { return problems_; }

 private:
  Answer default_answer_ = Answer::kYes;
  int problems_ = 0;
};

// Keeps the last text of every control; prints the progress controls named
// with WatchProgress to standard error, throttled.
class ConsoleViewState : public ViewState {
 public:
  explicit ConsoleViewState(bool show_progress = true)
      : show_progress_(show_progress) {}
  void WatchProgress(std::string control) { watched_[std::move(control)]; }
  void SetText(std::string_view control, std::string_view text) override;
  void SetEnabled(std::string_view, bool) override {}
  void SetVisible(std::string_view, bool) override {}
  std::string Text(const std::string& control) const;

 private:
  bool show_progress_;
  std::map<std::string, std::string, std::less<>> texts_;
  std::map<std::string, bool, std::less<>> watched_;
  std::chrono::steady_clock::time_point last_print_{};
};

class ConsoleYield : public Yield {
 public:
  void ProcessPendingEvents() override {}
};

// ORVANE_OPEN when set, else xdg-open.
class ConsoleOpener : public Opener {
 public:
  int Open(const std::string& target) override;
};

// The large display window on standard output: everything is printed as it
// comes, with LF line ends; there is no text limit.
class ConsoleLargeDisplay : public LargeDisplay {
 public:
  explicit ConsoleLargeDisplay(std::FILE* out = stdout) : out_(out) {}
  void SetCaption(std::string_view) override {}
  void SetBufferFullMessage(std::string_view) override {}
  void SetCopyButtonCaption(std::string_view) override {}
  void Show() override { visible_ = true; }
  void Hide() override { visible_ = false; }
  bool IsVisible() override { return visible_; }
  bool ReportBufferFull() override { return false; }
  void Clear() override {}
  void Output(std::string_view text, std::int16_t num_crlfs,
              bool to_end) override;
  void DisplayArray(const std::vector<std::string>& items,
                    std::int32_t start_index, std::int32_t end_index,
                    std::string_view success_message,
                    bool separate_folders) override;

 private:
  void Write(std::string_view text);
  std::FILE* out_;
  bool visible_ = true;
};

class ConsoleClock : public Clock {
 public:
  double SecondsSinceMidnight() override;
};

}  // namespace orvane
