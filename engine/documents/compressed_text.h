// The reader of text compressed with gzip, bzip2, xz or zstd.
#pragma once

#include <string>

#include "engine/documents/document_readers.h"

namespace orvane {

// The bytes the file holds, in order, through libarchive's filters (zstd
// through libzstd): one stream, or several one after another as gzip
// allows. kDamaged when the stream is damaged or cut.
ReadResult ReadCompressedText(const std::string& path, DocumentSink& sink);

}  // namespace orvane
