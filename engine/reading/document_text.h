// The text of a document as a reader finds it (UTF-8 lines in reading order,
// where each page starts, and a title from the document's own metadata),
// and the same text as content: the Windows-1252 lines that words,
// extracts and the phrase check read from every other file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/cp1252.h"
#include "engine/text/document_source.h"

namespace orvane {

// Where a reader puts what it finds, in reading order.
class DocumentSink {
 public:
  virtual ~DocumentSink() = default;
  // The title from the document's metadata (UTF-8). A reader calls it at
  // most once, and only for a title that holds more than blanks.
  virtual void Title(std::string_view utf8) = 0;
  // The next line begins a new page (a PDF's pages, numbered from 1 in the
  // order of the calls).
  virtual void PageStart() = 0;
  // One line of text: UTF-8, without a line end, holding no CR or LF.
  // Returns false once the document's text has grown past the sink's
  // limit: the reader then stops and reports TooMuchText.
  virtual bool Line(std::string_view utf8) = 0;
  // The next bytes that a compressed text holds, as its file would hold
  // them. Returns false as Line does.
  virtual bool Bytes(std::string_view bytes) = 0;
};

// The whole text of one document.
struct DocumentText {
  std::string title;               // UTF-8; empty when the document has none
  std::vector<std::string> lines;  // UTF-8, in reading order
  // For each page, the index in lines of its first line: page number n
  // starts at page_starts[n - 1]. Empty for documents without pages. A page
  // without text starts where the next one does.
  std::vector<std::int32_t> page_starts;
  // A compressed text: the bytes it holds (lines is then empty).
  std::string bytes;

  bool operator==(const DocumentText&) const = default;
};

// A sink that keeps the whole text, up to max_bytes of lines and bytes
// (line ends not counted); past them Line and Bytes return false and keep
// nothing more.
class DocumentTextBuilder : public DocumentSink {
 public:
  explicit DocumentTextBuilder(std::uint64_t max_bytes) : left_(max_bytes) {}

  void Title(std::string_view utf8) override;
  void PageStart() override;
  bool Line(std::string_view utf8) override;
  bool Bytes(std::string_view bytes) override;

  // True once the limit has been passed.
  bool full() const { return full_; }
  DocumentText& text() { return text_; }

 private:
  bool Take(std::size_t size);

  DocumentText text_;
  std::uint64_t left_;
  bool full_ = false;
};

// A document's text as content.
struct DocumentContent {
  Content title;  // blanks folded to one space, trimmed
  std::vector<Content> lines;
  std::vector<std::int32_t> page_starts;  // as in DocumentText
};

// Converts a document's text into content as a UTF-8 file's text is
// converted (DecodeUtf8Text): each well-formed UTF-8 sequence becomes the
// content character of its code point, "?" where Windows-1252 has none.
// A compressed text becomes the lines that its text would give as a file
// of its own: decoded from UTF-16 when it begins with a UTF-16 byte-order
// mark; split at CR and CR LF, and at a lone LF too when its first 8192
// characters hold LF and no CR (the rule of word extraction's line types).
DocumentContent ToContent(DocumentText text);

// Whether the lines of a document's content still hold UTF-8 sequences:
// a compressed text's do (as its file would), unless it is UTF-16; the
// lines a reader gives are decoded when they become content.
bool ContentHoldsUtf8(const DocumentText& text);

// A document's content as the readers of found files read it: its lines
// joined, each ended by CR LF, with the offset where each page starts.
DocumentSourceText ToSourceText(const DocumentContent& content,
                                bool decode_utf8);

// The number (from 1) of the page that holds the line at line_index; 0
// when the document has no pages.
std::int32_t PageNumberOfLine(const std::vector<std::int32_t>& page_starts,
                              std::int32_t line_index);

}  // namespace orvane
