#include "cli/console_ports.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string_view>

#include "cli/status_line.h"
#include "engine/common/open_command.h"
#include "engine/common/program_texts.h"

namespace orvane {

namespace {

struct Rewording {
  std::string window;   // a part of a window's message
  std::string console;  // what the command line says instead
};

// The window's wording and the command line's, part for part. Built when
// first needed: the numbered texts are loaded by then.
const std::vector<Rewording>& Rewordings() {
  static const std::vector<Rewording> table = {
      {"\r\nThe search type will now be changed to this type.",
       " Add --type any to search for stems."},
      {"Invalid input for maximum number of extracts.\r\n"
       "Enter the maximum number of extracts to be displayed\r\n"
       "in the report or leave blank if no limit.",
       "Invalid value for --max-extracts: give a number from 1 to 9999, or "
       "leave the option out for no limit."},
      {"The maximum number of extracts cannot be zero.",
       "--max-extracts cannot be zero: give a number from 1 to 9999, or "
       "leave the option out for no limit."},
      {"Try using the index module to recreate the index file.",
       "Recreate the index file with 'orvane index'."},
      {"There seems to be a mismatch between the top folder\r\n"
       "and the index file.",
       "There seems to be a mismatch between the top folder (--top) and the "
       "index file (--index)."},
      {"Perhaps the file extension is incorrect.",
       "No program opened it (xdg-open, or the command in ORVANE_OPEN); "
       "--no-open leaves the report unopened."},
      {"Perhaps it has not yet been created by the index module.",
       "Perhaps it has not yet been created with 'orvane index'."},
      {GetProgramText(72),
       "The file of --single-file must lie in the top folder (--top) or one "
       "of its subfolders."},
      {GetProgramText(75),
       "This file is not in the index file.\r\nCreate a new index file that "
       "includes it with 'orvane index', or give another --single-file."},
      {GetProgramText(28), "Please give a project name with --project."},
      {GetProgramText(34), "Please give a title for the project with --title."},
      {GetProgramText(35),
       "Please give the top folder holding the files to be indexed with "
       "--top."},
      {GetProgramText(37),
       "Please give the output folder for the index file with --out."},
      {GetProgramText(56),
       "--exclude-file takes a path relative to the top folder"},
      {"No files are included.",
       "No files are included: --exclude-top leaves out the top folder's own "
       "files, and no subfolder is included (--include, --include-all)."},
  };
  return table;
}

}  // namespace

std::string ConsoleText(std::string_view text) {
  // CR LF becomes LF; a CR alone stays.
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t cr = text.find('\r'); cr != std::string_view::npos;
       cr = text.find('\r', cr + 1)) {
    if (cr + 1 < text.size() && text[cr + 1] == '\n') {
      out.append(text.data() + from, cr - from);
      from = cr + 1;
    }
  }
  out.append(text.data() + from, text.size() - from);
  return out;
}

std::string CommandLineWording(std::string_view window_text) {
  std::string text(window_text);
  for (const Rewording& r : Rewordings()) {
    if (r.window.empty()) continue;
    std::size_t at = text.find(r.window);
    if (at != std::string::npos) text.replace(at, r.window.size(), r.console);
  }
  return text;
}

int RefuseArguments(std::string_view command, std::string_view message) {
  std::string name = "orvane";
  if (!command.empty()) name += " " + std::string(command);
  std::string help = "orvane help";
  if (!command.empty() && command != "help") help += " " + std::string(command);
  std::fprintf(stderr, "%s: %.*s\nTry '%s'.\n", name.c_str(),
               static_cast<int>(message.size()), message.data(), help.c_str());
  return 2;
}

bool FinishStandardOutput(std::string_view command) {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  const int error = errno != 0 ? errno : EIO;
  std::string name = "orvane";
  if (!command.empty()) name += " " + std::string(command);
  std::fprintf(stderr, "%s: standard output could not be written completely: %s\n",
               name.c_str(), std::strerror(error));
  return false;
}

std::string BadValue(std::string_view flag, std::string_view value,
                     std::string_view takes) {
  return "bad value for " + std::string(flag) + ": '" + std::string(value) +
         "' (" + std::string(takes) + ")";
}

void ConsolePrompter::AnswerWithFlag(std::string question_part,
                                     std::string flag, bool given,
                                     std::string refusal) {
  answers_.push_back({std::move(question_part), std::move(flag), given,
                      std::move(refusal)});
}

void ConsolePrompter::Print(std::string_view text) {
  if (status_line_ != nullptr) status_line_->Clear();
  std::string line = "orvane";
  if (!command_.empty()) line += " " + command_;
  line += ": ";
  for (char c : ConsoleText(text)) {
    line.push_back(c);
    if (c == '\n') line += "  ";
  }
  line += "\n";
  std::fputs(line.c_str(), stderr);
}

void ConsolePrompter::ShowMessage(MessageIcon icon, std::string_view /*title*/,
                                  std::string_view text) {
  // The title names a window or a button: the command line has neither.
  if (icon == MessageIcon::kWarning || icon == MessageIcon::kError ||
      icon == MessageIcon::kCritical) {
    ++problems_;
  }
  Print(CommandLineWording(text));
}

Answer ConsolePrompter::Ask(MessageIcon /*icon*/, std::string_view /*title*/,
                            std::string_view text, MessageButtons buttons) {
  const bool ok_buttons = buttons == MessageButtons::kOk ||
                          buttons == MessageButtons::kOkCancel;
  std::string told = CommandLineWording(text);
  bool yes = false;
  const FlagAnswer* answer = nullptr;
  for (const FlagAnswer& a : answers_) {
    if (told.find(a.question_part) != std::string::npos) answer = &a;
  }
  if (answer == nullptr) {
    told += " No: the command line cannot answer this question.";
  } else if (answer->given) {
    yes = true;
    told += " Yes (" + answer->flag + ").";
  } else {
    told.replace(told.find(answer->question_part), answer->question_part.size(),
                 answer->refusal);
  }
  Print(told);
  if (ok_buttons) return yes ? Answer::kOk : Answer::kCancel;
  return yes ? Answer::kYes : Answer::kNo;
}

void ConsoleViewState::SetText(std::string_view control,
                               std::string_view text) {
  texts_[std::string(control)] = std::string(text);
}

std::string ConsoleViewState::Text(const std::string& control) const {
  auto it = texts_.find(control);
  return it == texts_.end() ? std::string() : it->second;
}

int ConsoleOpener::Open(const std::string& target) {
  std::optional<std::string> command = OpenCommandFromEnvironment();
  return RunOpenCommand(command ? *command : std::string("xdg-open"), target);
}

void ConsoleLargeDisplay::Write(std::string_view text) {
  std::string out = ConsoleText(text);
  std::fwrite(out.data(), 1, out.size(), out_);
}

void ConsoleLargeDisplay::Output(std::string_view text, std::int16_t num_crlfs,
                                 bool /*to_end*/) {
  Write(text);
  for (int i = 0; i < num_crlfs; ++i) std::fputc('\n', out_);
}

void ConsoleLargeDisplay::DisplayArray(const std::vector<std::string>& items,
                                       std::int32_t start_index,
                                       std::int32_t end_index,
                                       std::string_view success_message,
                                       bool separate_folders) {
  // The same text as the window would get, without its limit.
  std::string_view previous;
  std::string built;
  for (std::int32_t i = start_index; i <= end_index; ++i) {
    if (i < 0 || static_cast<std::size_t>(i) >= items.size()) break;
    std::string_view item = items[static_cast<std::size_t>(i)];
    std::string_view folder = item.substr(0, item.find_last_of('/') + 1);
    if (item.find('/') == std::string_view::npos) folder = {};
    if (i != start_index && separate_folders && folder != previous) {
      built += "\n";
    }
    built += item;
    built += "\n";
    previous = folder;
  }
  if (!success_message.empty()) {
    built += "\n";
    built += success_message;
  }
  Write(built);
}

double ConsoleClock::SecondsSinceMidnight() {
  // To the millisecond, as the window's clock: a run's time is told in
  // tenths of a second.
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
         now.tv_nsec / 1e9;
}

}  // namespace orvane
