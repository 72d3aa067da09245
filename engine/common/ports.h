// The ports through which the engine talks to the user: message boxes and
// questions, the view state of a window (labels, captions, enabled states),
// letting the window system process pending input, opening documents, the
// large display window and the clock. Each port has a Qt adapter (app/), a
// console adapter (cli/) and a recording fake (tests/support/).
//
// Every text that crosses a port is display text: UTF-8, with CR LF where the
// program writes a line break.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane {

enum class MessageIcon { kNone, kInformation, kWarning, kError, kCritical };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class Answer { kOk, kCancel, kYes, kNo };

// Modal message boxes. Both calls return only when the user has closed the
// box; a console or test adapter answers at once.
class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual void ShowMessage(MessageIcon icon, std::string_view title,
                           std::string_view text) = 0;
  virtual Answer Ask(MessageIcon icon, std::string_view title,
                     std::string_view text, MessageButtons buttons) = 0;
};

// The controls of one window that a run changes, addressed by the control's
// fixed name; an element of a control array is addressed as "name[index]"
// (for example "cmdListFiles[1]"). Unknown names are ignored.
class ViewState {
 public:
  virtual ~ViewState() = default;
  // Caption of a label or button, or the text of a text box.
  virtual void SetText(std::string_view control, std::string_view text) = 0;
  // The text box's text grew by appended and is now whole. A window may
  // append the piece instead of replacing the text (a long results list
  // then costs one append per entry); the default replaces it.
  virtual void AppendText(std::string_view control, std::string_view appended,
                          std::string_view whole) {
    static_cast<void>(appended);
    SetText(control, whole);
  }
  virtual void SetEnabled(std::string_view control, bool enabled) = 0;
  virtual void SetVisible(std::string_view control, bool visible) = 0;
  virtual void SetFocus(std::string_view /*control*/) {}
  // A progress bar: done of total units; a total of 0 shows a busy bar.
  virtual void SetProgress(std::string_view /*control*/, std::int32_t /*done*/,
                           std::int32_t /*total*/) {}
  // Repaints the window at once (the captions set so far become visible).
  virtual void Repaint() {}
};

// "Let the window system process pending input." A long loop calls it after
// each unit of work and then tests its stop flag and the quit flag, which
// click handlers run from inside this call may have set.
class Yield {
 public:
  virtual ~Yield() = default;
  virtual void ProcessPendingEvents() = 0;
};

// The flags a long loop tests after it has let the window system run: each
// run has one helper that yields and then reads them.
struct RunFlags {
  bool quit = false;  // the launcher's blnQuit: the user is leaving
  bool stop = false;  // the run's own stop flag
  bool KeepGoing() const { return !quit && !stop; }
};

// Opens a document or web address with the user's default program.
class Opener {
 public:
  virtual ~Opener() = default;
  // Returns a number above 32 when the request was accepted, otherwise an
  // error code (the opener command's exit status, or 2 when it could not be
  // started).
  virtual int Open(const std::string& target) = 0;
};

// The one window for long texts (file lists, the text report). It shows the
// whole text, however long; the text and its lines are LargeDisplayText's
// (large_display_text.h), which a window adapter keeps and shows.
class LargeDisplay {
 public:
  virtual ~LargeDisplay() = default;
  virtual void SetCaption(std::string_view caption) = 0;
  virtual void SetBufferFullMessage(std::string_view message) = 0;
  virtual void SetCopyButtonCaption(std::string_view caption) = 0;
  virtual void SetReadOnly(bool /*read_only*/) {}
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual bool IsVisible() = 0;
  // True once the display could not hold more text (blnReportBufferFull):
  // the text then ends with the buffer-full message, and callers stop.
  virtual bool ReportBufferFull() = 0;
  virtual void Clear() = 0;
  virtual void Output(std::string_view text, std::int16_t num_crlfs,
                      bool to_end) = 0;
  // Appends items[start_index .. end_index] (0-based, inclusive).
  virtual void DisplayArray(const std::vector<std::string>& items,
                            std::int32_t start_index, std::int32_t end_index,
                            std::string_view success_message,
                            bool separate_folders) = 0;
  virtual void ShowBeginning() {}
  virtual void ShowEnd() {}
  // A transient note at the end of the text while a caller works (the text
  // report's "Searching file ..." while a long file is read); RemoveNote
  // takes it away again. The note is not part of the text and does not
  // count towards its limit. A display that cannot take text back (the
  // console) ignores both.
  virtual void ShowNote(std::string_view /*note*/) {}
  virtual void RemoveNote() {}
};

// Local time of day, for the duration of an indexing run.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual double SecondsSinceMidnight() = 0;
};

// The file and folder dialogs: choose a folder, open one file, open several
// files, save a file. Each call returns only when the user has closed the
// dialog; an empty result (or an empty list) means the dialog was cancelled.
// Paths are path strings, exactly as the file system gives them.
struct DialogRequest {
  std::string title;          // the dialog's caption (display text)
  std::string start_folder;   // where it opens; empty: the adapter's choice
  std::string file_name;      // the name proposed (open and save dialogs)
  // Filters as pairs of a description and its patterns, for example
  // {"Index files", "*_index.tavo"}; empty: every file.
  std::vector<std::pair<std::string, std::string>> filters;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual std::string ChooseFolder(const DialogRequest& request) = 0;
  virtual std::string OpenFile(const DialogRequest& request) = 0;
  virtual std::vector<std::string> OpenFiles(const DialogRequest& request) = 0;
  // The save dialog asks nothing itself before a file is replaced: the
  // engine asks through the Prompter where a rule says so.
  virtual std::string SaveFile(const DialogRequest& request) = 0;
};

}  // namespace orvane
