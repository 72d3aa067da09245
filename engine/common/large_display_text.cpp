#include "engine/common/large_display_text.h"

namespace orvane {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Byte offset of the character with the given index (or the text's size).
std::size_t ByteOffsetOfChar(std::string_view text, std::int64_t char_index) {
  std::int64_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsContinuationByte(text[i])) continue;
    if (seen == char_index) return i;
    ++seen;
  }
  return text.size();
}

// The folder part of a path: up to and including its last separator.
std::string_view FolderOf(std::string_view path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? std::string_view()
                                         : path.substr(0, slash + 1);
}

}  // namespace

std::int64_t Utf8Length(std::string_view text) {
  std::int64_t n = 0;
  for (char c : text) n += IsContinuationByte(c) ? 0 : 1;
  return n;
}

void LargeDisplayText::Append(std::string_view piece, Change& change) {
  text_.append(piece);
  length_ += Utf8Length(piece);
  if (!change.replaced) change.appended.append(piece);
}

LargeDisplayText::Change LargeDisplayText::Output(std::string_view text,
                                                  std::int16_t num_crlfs) {
  Change change;
  if (length_ == 0) {
    report_buffer_full_ = false;
    full_message_shown_ = false;
  } else if (!report_buffer_full_ && length_ > kTextLimit) {
    report_buffer_full_ = true;
  }
  if (report_buffer_full_) {
    if (!full_message_shown_) {
      std::int64_t keep = length_ > 512 ? length_ - 512 : 0;
      text_.resize(ByteOffsetOfChar(text_, keep));
      length_ = keep;
      change.replaced = true;
      Append(" ...\r\n\r\n", change);
      Append(buffer_full_message_, change);
      Append(kCrLf, change);
      full_message_shown_ = true;
    }
    return change;
  }
  Append(text, change);
  for (int i = 0; i < num_crlfs; ++i) Append(kCrLf, change);
  return change;
}

LargeDisplayText::Change LargeDisplayText::DisplayArray(
    const std::vector<std::string>& items, std::int32_t start_index,
    std::int32_t end_index, std::string_view success_message,
    bool separate_folders) {
  std::string built;
  std::int64_t built_length = 0;
  bool all_written = true;
  std::string_view previous_folder;
  for (std::int32_t i = start_index; i <= end_index; ++i) {
    if (i < 0 || static_cast<std::size_t>(i) >= items.size()) break;
    const std::string& item = items[static_cast<std::size_t>(i)];
    std::int64_t item_length = Utf8Length(item);
    if (built_length + item_length + 2 > kTextLimit) {
      built.append(kCrLf);
      built.append(buffer_full_message_);
      all_written = false;
      break;
    }
    std::string_view folder;
    if (separate_folders) folder = FolderOf(item);
    if (i != start_index && separate_folders && folder != previous_folder) {
      built.append(kCrLf);
      built_length += 2;
    }
    built.append(item);
    built.append(kCrLf);
    built_length += item_length + 2;
    previous_folder = folder;
  }
  Change change = Output(built, 0);
  if (!success_message.empty() && all_written) {
    std::string closing(kCrLf);
    closing.append(success_message);
    Change more = Output(closing, 0);
    if (more.replaced) {
      change = std::move(more);
    } else if (!change.replaced) {
      change.appended.append(more.appended);
    }
  }
  return change;
}

void LargeDisplayText::Clear() {
  text_.clear();
  length_ = 0;
  Output("", 0);
}

}  // namespace orvane
