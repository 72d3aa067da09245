// The readers of the three kinds of zip container. Each takes the entries
// it needs from the container and gives the document's title and lines to
// the sink.
#pragma once

#include <string>
#include <string_view>

#include "engine/documents/document_readers.h"
#include "engine/documents/xml_lines.h"
#include "engine/documents/zip_container.h"

namespace orvane {

// The entries each reader needs, by name (for ZipContainer).
bool OpenDocumentWants(std::string_view name);
bool OfficeOpenXmlWants(std::string_view name);
bool EpubWants(std::string_view name);

// The reader of the kind (kOpenDocument, kOfficeOpenXml or kEpub) over the
// container's entries; kNotDocument for any other kind.
ReadResult ReadZipContainer(ZipContainer& zip, DocumentKind kind,
                            DocumentSink& sink);

// A text's paragraphs, a spreadsheet's rows, a presentation's slides (and
// their notes); the title from meta.xml's dc:title.
ReadResult ReadOpenDocument(ZipContainer& zip, DocumentSink& sink);

// A word-processing document's paragraphs, a workbook's rows sheet by
// sheet, a presentation's slides in their order; the title from
// docProps/core.xml's dc:title.
ReadResult ReadOfficeOpenXml(ZipContainer& zip, DocumentSink& sink);

// The spine's documents in order; the title from the package's dc:title.
ReadResult ReadEpub(ZipContainer& zip, DocumentSink& sink);

// The path of a part that target names, relative to the folder of the part
// at from ("xl/workbook.xml" and "worksheets/sheet1.xml" give
// "xl/worksheets/sheet1.xml"); a target from "/" is from the container's
// top. "." and ".." are resolved, %XX escapes decoded, a fragment dropped.
// Empty when ".." leaves the container.
std::string ResolvePartName(std::string_view from, std::string_view target);

// The title in a metadata element (dc:title) below node, if any, to the
// sink.
void GiveTitle(const pugi::xml_node& node, DocumentSink& sink);

// The outcome of walking the text: a full sink stops the reader.
ReadResult TextWalked(bool kept);

}  // namespace orvane
