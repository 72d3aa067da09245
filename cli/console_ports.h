// Console adapters of the engine's ports: messages go to standard error in
// the command line's words, questions get the answer of the flag that
// stands for them, the controls' texts are kept for the command to print,
// and the large display window's text goes to standard output.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/common/ports.h"

namespace orvane {

// Display text with its CR LF line breaks made LF, as the console wants.
std::string ConsoleText(std::string_view text);

class StatusLine;

// Messages on standard error, one "orvane COMMAND: text" each, in the
// command line's words: where a window's text speaks of its controls, the
// console says which flag does the same. A question is answered by the
// flag that stands for it, and the answer is always told.
class ConsolePrompter : public Prompter {
 public:
  // command names the lines ("search" gives "orvane search: ..."); empty
  // for "orvane: ...".
  explicit ConsolePrompter(std::string command = std::string())
      : command_(std::move(command)) {}
  // A question whose text holds question_part is answered Yes (or OK) when
  // flag was given; otherwise No (or Cancel), told with refusal in place
  // of question_part. A question without an answer set is answered No,
  // and told so.
  void AnswerWithFlag(std::string question_part, std::string flag,
                      bool given, std::string refusal);
  // The progress line to take away before a message is printed.
  void set_status_line(StatusLine* line) { status_line_ = line; }
  void ShowMessage(MessageIcon icon, std::string_view title,
                   std::string_view text) override;
  Answer Ask(MessageIcon icon, std::string_view title, std::string_view text,
             MessageButtons buttons) override;
  // Number of warning, error and critical messages shown.
  int problems() const { return problems_; }
  // Prints "orvane COMMAND: " and text (display text, CR LF or LF line
  // breaks; the lines after the first are indented).
  void Print(std::string_view text);

 private:
  struct FlagAnswer {
    std::string question_part;
    std::string flag;
    bool given;
    std::string refusal;
  };
  std::string command_;
  std::vector<FlagAnswer> answers_;
  StatusLine* status_line_ = nullptr;
  int problems_ = 0;
};

// A window's message in the command line's words: the parts that speak of
// buttons, boxes and the modules are replaced by the flags and commands
// that do the same; the rest is kept as it is.
std::string CommandLineWording(std::string_view window_text);

// Refuses the arguments of a command: "orvane COMMAND: message" and a hint
// at its help on standard error. Returns 2, the status of refused
// arguments.
int RefuseArguments(std::string_view command, std::string_view message);

// Flushes standard output. Returns true when everything printed reached
// it; otherwise tells "orvane COMMAND: standard output ..." with the
// system's reason ("No space left on device") and returns false.
bool FinishStandardOutput(std::string_view command);

// The refusal of a flag's value: "bad value for --flag: 'value' (takes)".
std::string BadValue(std::string_view flag, std::string_view value,
                     std::string_view takes);

// Keeps the last text of every control, for the command to print what it
// needs of them.
class ConsoleViewState : public ViewState {
 public:
  void SetText(std::string_view control, std::string_view text) override;
  void SetEnabled(std::string_view, bool) override {}
  void SetVisible(std::string_view, bool) override {}
  std::string Text(const std::string& control) const;

 private:
  std::map<std::string, std::string, std::less<>> texts_;
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
