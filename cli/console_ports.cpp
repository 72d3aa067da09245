#include "cli/console_ports.h"

#include <ctime>
#include <string_view>

#include "engine/common/open_command.h"

namespace orvane {

namespace {

const char* IconWord(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kWarning:
      return "warning";
    case MessageIcon::kError:
    case MessageIcon::kCritical:
      return "error";
    default:
      return "note";
  }
}

}  // namespace

std::string ConsoleText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

void ConsolePrompter::ShowMessage(MessageIcon icon, std::string_view title,
                                  std::string_view text) {
  if (icon == MessageIcon::kWarning || icon == MessageIcon::kError ||
      icon == MessageIcon::kCritical) {
    ++problems_;
  }
  std::string line = std::string("orvane: ") + IconWord(icon);
  if (!title.empty()) line += " [" + std::string(title) + "]";
  line += ": " + ConsoleText(text) + "\n";
  std::fputs(line.c_str(), stderr);
}

Answer ConsolePrompter::Ask(MessageIcon icon, std::string_view title,
                            std::string_view text, MessageButtons buttons) {
  Answer answer = default_answer_;
  bool ok_buttons = buttons == MessageButtons::kOk ||
                    buttons == MessageButtons::kOkCancel;
  if (ok_buttons && answer == Answer::kYes) answer = Answer::kOk;
  if (ok_buttons && answer == Answer::kNo) answer = Answer::kCancel;
  if (!ok_buttons && answer == Answer::kOk) answer = Answer::kYes;
  const char* word = answer == Answer::kYes  ? "Yes"
                     : answer == Answer::kNo ? "No"
                     : answer == Answer::kOk ? "OK"
                                             : "Cancel";
  std::string line = std::string("orvane: ") + IconWord(icon);
  if (!title.empty()) line += " [" + std::string(title) + "]";
  line += ": " + ConsoleText(text) + " -> " + word + "\n";
  std::fputs(line.c_str(), stderr);
  return answer;
}

void ConsoleViewState::SetText(std::string_view control,
                               std::string_view text) {
  texts_[std::string(control)] = std::string(text);
  if (!show_progress_ || text.empty()) return;
  if (watched_.find(control) == watched_.end()) return;
  auto now = std::chrono::steady_clock::now();
  if (now - last_print_ < std::chrono::milliseconds(250)) return;
  last_print_ = now;
  std::string line = ConsoleText(text) + "\n";
  std::fputs(line.c_str(), stderr);
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
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
}

}  // namespace orvane
