// Recording fakes of the engine's ports: every message box, label and open
// request is recorded, questions are answered from a queue, and no test ever
// blocks on a modal box.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/large_display_text.h"
#include "engine/common/ports.h"
#include "engine/common/run_progress.h"

namespace orvane::testing {

class RecordingPrompter : public Prompter {
 public:
  struct Box {
    MessageIcon icon;
    std::string title;
    std::string text;
    bool question = false;
    MessageButtons buttons = MessageButtons::kOk;
  };

  void ShowMessage(MessageIcon icon, std::string_view title,
                   std::string_view text) override;
  // Answers from the queue; with the queue empty: OK, or Yes.
  Answer Ask(MessageIcon icon, std::string_view title, std::string_view text,
             MessageButtons buttons) override;

  void QueueAnswer(Answer answer) { answers_.push_back(answer); }
  // Runs when the next box is shown (before Ask answers), e.g. to click a
  // button that the box's modal loop would let the user click.
  void OnNextBox(std::function<void()> action) { on_box_ = std::move(action); }

  const std::vector<Box>& boxes() const { return boxes_; }
  // Texts of all boxes, one per line, for whole-sequence comparisons.
  std::string Transcript() const;

 private:
  void Fire();
  std::vector<Box> boxes_;
  std::deque<Answer> answers_;
  std::function<void()> on_box_;
};

class RecordingViewState : public ViewState {
 public:
  void SetText(std::string_view control, std::string_view text) override;
  void SetEnabled(std::string_view control, bool enabled) override;
  void SetVisible(std::string_view control, bool visible) override;
  void SetFocus(std::string_view control) override;
  void Repaint() override { ++repaints_; }

  // Current text of a control ("" when never set).
  std::string Text(std::string_view control) const;
  // Every text a control was given, in order.
  std::vector<std::string> History(std::string_view control) const;
  // Enabled / visible state; `otherwise` when never set.
  bool Enabled(std::string_view control, bool otherwise = true) const;
  bool Visible(std::string_view control, bool otherwise = true) const;
  const std::string& focus() const { return focus_; }
  int repaints() const { return repaints_; }
  // Every control given a text, an enabled or a visible state, or the
  // focus, sorted.
  std::vector<std::string> Names() const;

 private:
  std::map<std::string, std::vector<std::string>, std::less<>> texts_;
  std::map<std::string, bool, std::less<>> enabled_;
  std::map<std::string, bool, std::less<>> visible_;
  std::string focus_;
  int repaints_ = 0;
};

// Counts the yields and runs an action at a chosen one, to play a click
// that arrives while a loop runs.
class ScriptedYield : public Yield {
 public:
  void ProcessPendingEvents() override;
  // action runs at the yield with this 1-based number.
  void At(int call_number, std::function<void()> action) {
    actions_[call_number] = std::move(action);
  }
  int calls() const { return calls_; }

 private:
  int calls_ = 0;
  std::map<int, std::function<void()>> actions_;
};

// Every progress event of a run, one line each ("FileStarted 2/3 /x/b.txt"),
// for whole-sequence comparisons.
class RecordingProgress : public RunProgress {
 public:
  void Counting(std::int64_t files_counted) override;
  void Counted(std::int64_t files, double bytes) override;
  void FileStarted(std::int64_t number, std::int64_t total,
                   std::string_view path) override;
  void Words(std::int64_t different_words) override;
  void Writing(std::int64_t different_words) override;
  void Finished(std::string_view closing) override;
  void FileFound(std::int64_t number, std::string_view relative_path) override;
  void Found(std::int64_t count) override;

  const std::vector<std::string>& events() const { return events_; }
  void Clear() { events_.clear(); }

 private:
  std::vector<std::string> events_;
};

class RecordingOpener : public Opener {
 public:
  int Open(const std::string& target) override {
    targets_.push_back(target);
    return result_;
  }
  void set_result(int result) { result_ = result; }
  const std::vector<std::string>& targets() const { return targets_; }

 private:
  std::vector<std::string> targets_;
  int result_ = 42;
};

// The large display window without a window: the real text rules, plus the
// captions and visibility a caller sets.
class FakeLargeDisplay : public LargeDisplay {
 public:
  void SetCaption(std::string_view caption) override {
    caption_ = std::string(caption);
  }
  void SetBufferFullMessage(std::string_view message) override {
    text_.set_buffer_full_message(std::string(message));
  }
  void SetCopyButtonCaption(std::string_view caption) override {
    copy_caption_ = std::string(caption);
  }
  void Show() override { visible_ = true; }
  void Hide() override { visible_ = false; }
  bool IsVisible() override { return visible_; }
  bool ReportBufferFull() override { return text_.report_buffer_full(); }
  void Clear() override { text_.Clear(); }
  void Output(std::string_view text, std::int16_t num_crlfs,
              bool /*to_end*/) override {
    text_.Output(text, num_crlfs);
  }
  void DisplayArray(const std::vector<std::string>& items,
                    std::int32_t start_index, std::int32_t end_index,
                    std::string_view success_message,
                    bool separate_folders) override {
    text_.DisplayArray(items, start_index, end_index, success_message,
                       separate_folders);
  }

  void ShowNote(std::string_view note) override {
    notes_.emplace_back(note);
    note_shown_ = true;
  }
  void RemoveNote() override { note_shown_ = false; }

  std::string text() const { return text_.text(); }
  const std::string& caption() const { return caption_; }
  const std::string& copy_caption() const { return copy_caption_; }
  // Every note shown, and whether one is showing now.
  const std::vector<std::string>& notes() const { return notes_; }
  bool note_shown() const { return note_shown_; }

 private:
  LargeDisplayText text_;
  std::vector<std::string> notes_;
  bool note_shown_ = false;
  std::string caption_;
  std::string copy_caption_;
  bool visible_ = false;
};

class FakeClock : public Clock {
 public:
  double SecondsSinceMidnight() override { return now_; }
  void set_now(double seconds) { now_ = seconds; }
  void Advance(double seconds) { now_ += seconds; }

 private:
  double now_ = 36000;
};

// Answers every dialog from a queue of scripted answers (an empty string or
// list is a cancelled dialog; with the queue empty every dialog is
// cancelled) and records each request with its kind.
class ScriptedDialogs : public Dialogs {
 public:
  enum class Kind { kFolder, kOpenFile, kOpenFiles, kSaveFile };
  struct Shown {
    Kind kind;
    DialogRequest request;
  };

  std::string ChooseFolder(const DialogRequest& request) override;
  std::string OpenFile(const DialogRequest& request) override;
  std::vector<std::string> OpenFiles(const DialogRequest& request) override;
  std::string SaveFile(const DialogRequest& request) override;

  void QueueAnswer(std::string path) { answers_.push_back({std::move(path)}); }
  void QueueAnswers(std::vector<std::string> paths) {
    answers_.push_back(std::move(paths));
  }
  const std::vector<Shown>& shown() const { return shown_; }
  bool answered_all() const { return answers_.empty(); }

 private:
  std::vector<std::string> Next(Kind kind, const DialogRequest& request);
  std::deque<std::vector<std::string>> answers_;
  std::vector<Shown> shown_;
};

}  // namespace orvane::testing
