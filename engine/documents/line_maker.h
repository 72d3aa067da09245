// Lines of a document's text made from the pieces its reader finds: text
// runs, tabs, spaces and the ends of paragraphs. A line holds no CR, LF or
// other control character but TAB, is handed to the sink without the blanks
// at its ends, and never when it is blank.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/reading/document_text.h"

namespace orvane {

class LineMaker {
 public:
  // A line that grows past this is handed on at the next piece, so that a
  // document without paragraphs does not make one huge line.
  static constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

  explicit LineMaker(DocumentSink& sink) : sink_(sink) {}

  // Appends text as it is, a control character as a space.
  void Append(std::string_view text);
  // Appends text with each run of blanks (space, TAB, CR, LF) as one space,
  // and none at the start of a line: the rule of HTML and OpenDocument
  // paragraphs.
  void AppendCollapsed(std::string_view text);
  void Tab();
  void Spaces(std::size_t count);

  // Ends the current line. Returns false once the sink is full.
  bool Break();
  // Appends text, ending a line at each CR, LF, CR LF or form feed.
  bool AppendLines(std::string_view text);

  // True once the sink refused a line: the reader stops.
  bool full() const { return full_; }

 private:
  void Grew();

  DocumentSink& sink_;
  std::string line_;
  bool pending_space_ = false;
  bool full_ = false;
};

}  // namespace orvane
