// The text of the large display window, whole: callers append through
// Output and DisplayArray, and nothing is cut, however long the report or
// the listing grows (the command line prints the same text whole). The
// text is kept with an index of its lines, so that a window can show any
// line at once without laying out the whole text, and in blocks of about a
// megabyte that end at line ends, so that a growing text of a hundred
// megabytes is never copied to grow.
//
// Only a text the program cannot hold (memory runs out) ends early: the
// next Output then ends it with " ...", a blank line and the buffer-full
// message, and nothing more is written until Clear.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class LargeDisplayText {
 public:
  LargeDisplayText();

  // The message that ends a text that could not be held ("BUFFER FULL"
  // until a caller sets its own).
  void set_buffer_full_message(std::string message) {
    buffer_full_message_ = std::move(message);
  }
  const std::string& buffer_full_message() const {
    return buffer_full_message_;
  }

  // Appends text and num_crlfs line breaks, unless an earlier append was
  // refused: the first call after that ends the text with " ...", two line
  // breaks and the buffer-full message, later calls write nothing.
  void Output(std::string_view text, std::int16_t num_crlfs);

  // Appends items[start_index .. end_index], one per line, with an empty line
  // between paths of different folders when separate_folders is set, then
  // (when every item was written and success_message is not empty) a line
  // break and success_message.
  void DisplayArray(const std::vector<std::string>& items,
                    std::int32_t start_index, std::int32_t end_index,
                    std::string_view success_message, bool separate_folders);

  // Empties the text and resets the buffer-full state.
  void Clear();

  // An append could not be held (the program or a window ran out of
  // memory): the next Output ends the text.
  void MarkAppendRefused() { report_buffer_full_ = true; }

  // The whole text, put together (a copy: for copying it out and for
  // comparing it whole).
  std::string text() const;
  bool empty() const { return size_ == 0; }
  // Length in characters (the text is UTF-8).
  std::int64_t length() const { return length_; }
  bool report_buffer_full() const { return report_buffer_full_; }

  // The lines of the text: it is cut after every LF, and a CR before an LF
  // is no part of its line. A text that ends in a line break has an empty
  // last line, and the empty text one empty line, as a text box shows them.
  std::size_t line_count() const { return line_starts_.size(); }
  // REQUIRES: index < line_count()
  std::string_view line(std::size_t index) const;
  // The line with the most characters (the first of them), for a window
  // that sizes its text to the widest line.
  std::size_t longest_line() const { return longest_line_; }

 private:
  // Appends a piece, with its lines; a piece that cannot be held leaves
  // the text as it was and marks the append refused.
  void Append(std::string_view piece);
  // Appends to the blocks, opening a new block at a line end once the last
  // one is full; a line is never split over two blocks.
  void AppendToBlocks(std::string_view piece);
  // Checks the line for being the longest.
  void MeasureLine(std::size_t index);

  std::deque<std::string> blocks_;
  std::deque<std::size_t> block_starts_;  // text offset of each block
  std::size_t size_ = 0;                  // bytes
  std::deque<std::size_t> line_starts_;   // text offset of each line
  std::size_t longest_line_ = 0;
  std::int64_t longest_length_ = 0;
  std::int64_t length_ = 0;
  bool report_buffer_full_ = false;
  bool full_message_shown_ = false;
  std::string buffer_full_message_ = "BUFFER FULL";
};

// Number of characters of a UTF-8 text.
std::int64_t Utf8Length(std::string_view text);

}  // namespace orvane
