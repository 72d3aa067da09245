// The reader of PDF files.
#pragma once

#include <string>

#include "engine/documents/document_readers.h"

namespace orvane {

// The pages' text, a page at a time, each page announced by PageStart;
// the title from the document information dictionary. kEncrypted for a
// document that needs a password to open, kDamaged for one poppler cannot
// load (with poppler's last report).
ReadResult ReadPdf(const std::string& path, DocumentSink& sink);

}  // namespace orvane
