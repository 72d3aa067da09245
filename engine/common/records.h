// Delimited records: the form of the program's own text files (the index
// text, the settings files). String items stand between double quotes with
// nothing escaped, numbers are bare, items are separated by commas and every
// line ends in CR LF. Readers split at commas and line ends outside quotes
// and strip the quotes; they accept LF and CR line ends too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Builds one record line.
class RecordLine {
 public:
  RecordLine& AddString(std::string_view text);
  RecordLine& AddNumber(std::int64_t number);
  // The line with its CR LF.
  std::string Finish() const { return line_ + "\r\n"; }

 private:
  void Separate();
  std::string line_;
};

// Reads the items of a delimited text one by one. An item ends at a comma or
// a line end outside quotes; a quoted item may span lines (its line breaks
// stay in the item) and whatever follows its closing quote up to the next
// comma or line end is passed over. Unquoted items are trimmed of spaces.
// The reader does not own the text.
class DelimitedReader {
 public:
  explicit DelimitedReader(std::string_view text) : text_(text) {}

  // Reads the next item into *item. Returns false at the end of the text.
  bool NextItem(std::string* item);
  bool AtEnd() const { return pos_ >= text_.size(); }
  // Byte offset of the next unread character.
  std::size_t position() const { return pos_; }

 private:
  // Consumes the separator after an item: a comma, or one line end.
  void ConsumeSeparator();

  std::string_view text_;
  std::size_t pos_ = 0;
};

// The items of one record line (no line end expected inside).
std::vector<std::string> SplitRecord(std::string_view line);

// The leading number of a text as a signed 32-bit integer, as the numeric
// value of a field is taken: leading spaces skipped, an optional sign, the
// digits that follow; 0 when there are none. Values beyond the 32-bit range
// are clamped to it; *overflow (when given) tells that this happened.
std::int32_t LeadingNumber(std::string_view text, bool* overflow = nullptr);

}  // namespace orvane
