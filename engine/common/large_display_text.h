// The text of the large display window and the rules of its text limit:
// callers append through Output and DisplayArray; once the text has grown
// beyond 61,440 characters the next Output ends it with the buffer-full
// message, and nothing more is written until Clear.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class LargeDisplayText {
 public:
  static constexpr std::int64_t kTextLimit = 61440;  // characters

  // What an Output or DisplayArray call did to the text, so that a text box
  // mirroring it can append the new piece or replace its whole text.
  struct Change {
    bool replaced = false;      // the text was cut and ended; take text()
    std::string appended;       // otherwise: the piece added at the end
  };

  // The message that ends a full text ("BUFFER FULL" until a caller sets its
  // own).
  void set_buffer_full_message(std::string message) {
    buffer_full_message_ = std::move(message);
  }
  const std::string& buffer_full_message() const {
    return buffer_full_message_;
  }

  // Appends text and num_crlfs line breaks, unless the text limit was passed
  // by an earlier call; the first call after that cuts the last 512
  // characters and ends the text with " ...", two line breaks and the
  // buffer-full message.
  Change Output(std::string_view text, std::int16_t num_crlfs);

  // Appends items[start_index .. end_index], one per line, with an empty line
  // between paths of different folders when separate_folders is set, then
  // (when every item fit and success_message is not empty) a line break and
  // success_message. Items that would pass the text limit are replaced by a
  // line break and the buffer-full message.
  Change DisplayArray(const std::vector<std::string>& items,
                      std::int32_t start_index, std::int32_t end_index,
                      std::string_view success_message,
                      bool separate_folders);

  // Empties the text and resets the buffer-full state.
  void Clear();

  // A text box refused an append: the next Output ends the text.
  void MarkAppendRefused() { report_buffer_full_ = true; }

  const std::string& text() const { return text_; }
  // Length in characters (the text is UTF-8).
  std::int64_t length() const { return length_; }
  bool report_buffer_full() const { return report_buffer_full_; }

 private:
  void Append(std::string_view piece, Change& change);

  std::string text_;
  std::int64_t length_ = 0;
  bool report_buffer_full_ = false;
  bool full_message_shown_ = false;
  std::string buffer_full_message_ = "BUFFER FULL";
};

// Number of characters of a UTF-8 text.
std::int64_t Utf8Length(std::string_view text);

}  // namespace orvane
