#include "tests/support/fakes.h"

#include <set>

namespace orvane::testing {

void RecordingPrompter::Fire() {
  if (on_box_) {
    auto action = std::move(on_box_);
    on_box_ = nullptr;
    action();
  }
}

void RecordingPrompter::ShowMessage(MessageIcon icon, std::string_view title,
                                    std::string_view text) {
  boxes_.push_back(Box{icon, std::string(title), std::string(text)});
  Fire();
}

Answer RecordingPrompter::Ask(MessageIcon icon, std::string_view title,
                              std::string_view text, MessageButtons buttons) {
  boxes_.push_back(
      Box{icon, std::string(title), std::string(text), true, buttons});
  Fire();
  if (!answers_.empty()) {
    Answer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  return (buttons == MessageButtons::kOk || buttons == MessageButtons::kOkCancel)
             ? Answer::kOk
             : Answer::kYes;
}

std::string RecordingPrompter::Transcript() const {
  std::string out;
  for (const Box& b : boxes_) {
    out += "[" + b.title + "] " + b.text + "\n";
  }
  return out;
}

void RecordingViewState::SetText(std::string_view control,
                                 std::string_view text) {
  texts_[std::string(control)].emplace_back(text);
}

void RecordingViewState::SetEnabled(std::string_view control, bool enabled) {
  enabled_[std::string(control)] = enabled;
}

void RecordingViewState::SetVisible(std::string_view control, bool visible) {
  visible_[std::string(control)] = visible;
}

void RecordingViewState::SetFocus(std::string_view control) {
  focus_ = std::string(control);
}

std::vector<std::string> RecordingViewState::Names() const {
  std::set<std::string> names;
  for (const auto& entry : texts_) names.insert(entry.first);
  for (const auto& entry : enabled_) names.insert(entry.first);
  for (const auto& entry : visible_) names.insert(entry.first);
  if (!focus_.empty()) names.insert(focus_);
  return std::vector<std::string>(names.begin(), names.end());
}

std::string RecordingViewState::Text(std::string_view control) const {
  auto it = texts_.find(control);
  return it == texts_.end() || it->second.empty() ? std::string()
                                                  : it->second.back();
}

std::vector<std::string> RecordingViewState::History(
    std::string_view control) const {
  auto it = texts_.find(control);
  return it == texts_.end() ? std::vector<std::string>() : it->second;
}

bool RecordingViewState::Enabled(std::string_view control,
                                 bool otherwise) const {
  auto it = enabled_.find(control);
  return it == enabled_.end() ? otherwise : it->second;
}

bool RecordingViewState::Visible(std::string_view control,
                                 bool otherwise) const {
  auto it = visible_.find(control);
  return it == visible_.end() ? otherwise : it->second;
}

void ScriptedYield::ProcessPendingEvents() {
  ++calls_;
  auto it = actions_.find(calls_);
  if (it != actions_.end()) {
    auto action = std::move(it->second);
    actions_.erase(it);
    action();
  }
}

std::vector<std::string> ScriptedDialogs::Next(Kind kind,
                                               const DialogRequest& request) {
  shown_.push_back({kind, request});
  if (answers_.empty()) return {};
  std::vector<std::string> answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

std::string ScriptedDialogs::ChooseFolder(const DialogRequest& request) {
  auto answer = Next(Kind::kFolder, request);
  return answer.empty() ? std::string() : answer.front();
}

std::string ScriptedDialogs::OpenFile(const DialogRequest& request) {
  auto answer = Next(Kind::kOpenFile, request);
  return answer.empty() ? std::string() : answer.front();
}

std::vector<std::string> ScriptedDialogs::OpenFiles(
    const DialogRequest& request) {
  auto answer = Next(Kind::kOpenFiles, request);
  if (answer.size() == 1 && answer.front().empty()) answer.clear();
  return answer;
}

std::string ScriptedDialogs::SaveFile(const DialogRequest& request) {
  auto answer = Next(Kind::kSaveFile, request);
  return answer.empty() ? std::string() : answer.front();
}

void RecordingProgress::Counting(std::int64_t files_counted) {
  events_.push_back("Counting " + std::to_string(files_counted));
}

void RecordingProgress::Counted(std::int64_t files, double bytes) {
  events_.push_back("Counted " + std::to_string(files) + " files, " +
                    std::to_string(static_cast<std::int64_t>(bytes)) +
                    " bytes");
}

void RecordingProgress::FileStarted(std::int64_t number, std::int64_t total,
                                    std::string_view path) {
  events_.push_back("FileStarted " + std::to_string(number) + "/" +
                    std::to_string(total) + " " + std::string(path));
}

void RecordingProgress::Words(std::int64_t different_words) {
  events_.push_back("Words " + std::to_string(different_words));
}

void RecordingProgress::Writing(std::int64_t different_words) {
  events_.push_back("Writing " + std::to_string(different_words));
}

void RecordingProgress::Finished(std::string_view closing) {
  events_.push_back("Finished " + std::string(closing));
}

void RecordingProgress::FileFound(std::int64_t number,
                                  std::string_view relative_path) {
  events_.push_back("FileFound " + std::to_string(number) + " " +
                    std::string(relative_path));
}

void RecordingProgress::Found(std::int64_t count) {
  events_.push_back("Found " + std::to_string(count));
}

}  // namespace orvane::testing
