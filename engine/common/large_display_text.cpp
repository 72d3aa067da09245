#include "engine/common/large_display_text.h"

#include <algorithm>
#include <new>

namespace orvane {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The size at which a block takes no more lines.
constexpr std::size_t kBlockSize = std::size_t{1} << 20;

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
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

LargeDisplayText::LargeDisplayText()
    : blocks_(1), block_starts_{0}, line_starts_{0} {}

std::string LargeDisplayText::text() const {
  std::string whole;
  whole.reserve(size_);
  for (const std::string& block : blocks_) whole += block;
  return whole;
}

std::string_view LargeDisplayText::line(std::size_t index) const {
  const std::size_t start = line_starts_[index];
  const bool ended = index + 1 < line_starts_.size();
  std::size_t end = ended ? line_starts_[index + 1] - 1 : size_;
  // A line lies in one block: the last that begins at or before it.
  const auto block_at =
      std::upper_bound(block_starts_.begin(), block_starts_.end(), start) - 1;
  const std::string& block =
      blocks_[static_cast<std::size_t>(block_at - block_starts_.begin())];
  const std::size_t offset = start - *block_at;
  std::string_view text = std::string_view(block).substr(offset, end - start);
  if (ended && !text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

void LargeDisplayText::AppendToBlocks(std::string_view piece) {
  while (!piece.empty()) {
    std::string* block = &blocks_.back();
    const bool at_line_start =
        size_ == 0 || block->empty() || block->back() == '\n';
    if (block->size() >= kBlockSize && at_line_start) {
      blocks_.emplace_back();
      block_starts_.push_back(size_);
      block = &blocks_.back();
    }
    // Up to the block's room, then on to the next line end.
    std::size_t take = piece.size();
    const std::size_t room =
        block->size() < kBlockSize ? kBlockSize - block->size() : 0;
    if (take > room) {
      const std::size_t line_end = piece.find('\n', room > 0 ? room - 1 : 0);
      if (line_end != std::string_view::npos) take = line_end + 1;
    }
    block->append(piece.substr(0, take));
    size_ += take;
    piece.remove_prefix(take);
  }
}

void LargeDisplayText::MeasureLine(std::size_t index) {
  const std::int64_t length = Utf8Length(line(index));
  if (length > longest_length_) {
    longest_length_ = length;
    longest_line_ = index;
  }
}

void LargeDisplayText::Append(std::string_view piece) {
  const std::size_t old_size = size_;
  const std::size_t old_lines = line_starts_.size();
  const std::size_t old_blocks = blocks_.size();
  const std::size_t old_last_block = blocks_.back().size();
  try {
    AppendToBlocks(piece);
    for (std::size_t at = piece.find('\n'); at != std::string_view::npos;
         at = piece.find('\n', at + 1)) {
      line_starts_.push_back(old_size + at + 1);
    }
  } catch (const std::bad_alloc&) {
    // Shrinking never allocates: the text is as it was.
    blocks_.resize(old_blocks);
    block_starts_.resize(old_blocks);
    blocks_.back().resize(old_last_block);
    size_ = old_size;
    line_starts_.resize(old_lines);
    report_buffer_full_ = true;
    return;
  }
  length_ += Utf8Length(piece);
  // The last line of before may have grown; every new line is measured.
  for (std::size_t i = old_lines - 1; i < line_starts_.size(); ++i) {
    MeasureLine(i);
  }
}

void LargeDisplayText::Output(std::string_view text, std::int16_t num_crlfs) {
  if (size_ == 0) {
    report_buffer_full_ = false;
    full_message_shown_ = false;
  }
  if (report_buffer_full_) {
    if (!full_message_shown_) {
      full_message_shown_ = true;
      Append(" ...\r\n\r\n");
      Append(buffer_full_message_);
      Append(kCrLf);
    }
    return;
  }
  Append(text);
  for (int i = 0; i < num_crlfs && !report_buffer_full_; ++i) Append(kCrLf);
}

void LargeDisplayText::DisplayArray(const std::vector<std::string>& items,
                                    std::int32_t start_index,
                                    std::int32_t end_index,
                                    std::string_view success_message,
                                    bool separate_folders) {
  // As Output would take the whole list at once, item by item: a list of
  // a hundred megabytes is not built a second time.
  Output("", 0);
  std::string_view previous_folder;
  for (std::int32_t i = start_index; i <= end_index && !report_buffer_full_;
       ++i) {
    if (i < 0 || static_cast<std::size_t>(i) >= items.size()) break;
    const std::string& item = items[static_cast<std::size_t>(i)];
    std::string_view folder;
    if (separate_folders) folder = FolderOf(item);
    if (i != start_index && separate_folders && folder != previous_folder) {
      Append(kCrLf);
    }
    Append(item);
    Append(kCrLf);
    previous_folder = folder;
  }
  if (report_buffer_full_) {
    // The list could not be held whole: the message ends it now.
    Output("", 0);
    return;
  }
  if (!success_message.empty()) {
    std::string closing(kCrLf);
    closing.append(success_message);
    Output(closing, 0);
  }
}

void LargeDisplayText::Clear() {
  blocks_.assign(1, std::string());
  block_starts_.assign(1, 0);
  size_ = 0;
  line_starts_.assign(1, 0);
  longest_line_ = 0;
  longest_length_ = 0;
  length_ = 0;
  Output("", 0);
}

}  // namespace orvane
