// The readers of documents: PDF through poppler, the zip containers of
// OpenDocument, Office Open XML and EPUB files through libarchive and
// pugixml, and compressed text through libarchive's filters. The one place
// of the program that links those libraries; it runs only in the worker
// process (orvane-reader), never in the program itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/reading/document_kind.h"
#include "engine/reading/document_text.h"
#include "engine/reading/reader_protocol.h"

namespace orvane {

// Why a document could not be read whole.
struct ReadProblem {
  WireFailure failure;
  std::string detail;  // UTF-8; what went wrong, for kDamaged and the like
};

// nullopt when the document's whole text went to the sink.
using ReadResult = std::optional<ReadProblem>;

// Reads the document at path, of the kind its first bytes gave, into sink:
// its title, its lines in reading order and, for a PDF, where each page
// starts. A sink that says it is full stops the reading (kTooMuchText).
// kNone gives kNotDocument. Throws std::bad_alloc when memory runs out.
ReadResult ReadDocument(const std::string& path, DocumentKind kind,
                        DocumentSink& sink);

// The same for a zip container held in memory (kOpenDocument,
// kOfficeOpenXml or kEpub), whose parts may unpack to max_unpacked_bytes:
// the fuzz targets' way in.
ReadResult ReadZipDocument(std::string_view bytes, DocumentKind kind,
                           DocumentSink& sink,
                           std::uint64_t max_unpacked_bytes);

}  // namespace orvane
