// Where the readers of found files (extracts, the phrase check, titles)
// get a document's text instead of its bytes: a PDF or an office document
// is read as the text its reader found in it, kept with the index or read
// again when the document has changed since.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/common/cp1252.h"

namespace orvane {

// A document's text as the readers of found files read a file.
struct DocumentSourceText {
  Content title;  // from the document's metadata; empty when none
  Content text;   // its lines, each ended by CR LF
  // The text's lines still hold UTF-8 sequences (a compressed text's do,
  // as its file would).
  bool decode_utf8 = false;
  // For each page (numbered from 1), the offset in text where it starts;
  // empty for documents without pages.
  std::vector<std::int64_t> page_offsets;
  // Why the document could not be read; empty when it was.
  std::string reason;

  bool operator==(const DocumentSourceText&) const = default;
};

class DocumentSource {
 public:
  virtual ~DocumentSource() = default;
  // The text of the file at full_path when it is a document; null for any
  // other file, which is read as it stands.
  virtual std::shared_ptr<const DocumentSourceText> TextOf(
      const std::string& full_path) = 0;
};

// The number (from 1) of the page that holds the character at offset of
// the text; 0 when the text has no pages.
std::int32_t PageAtOffset(const std::vector<std::int64_t>& page_offsets,
                          std::int64_t offset);

}  // namespace orvane
