// The XML side of the document readers: the input's first line names a
// part of one of the test documents ("notes.docx word/document.xml"), the
// rest is that part's XML. The document, with its part replaced, is read
// as its kind: the rules of each format walk whatever the XML holds.
// A first line that names no part picks one by its length.
#include <map>
#include <string>

#include "engine/documents/zip_documents.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace orvane;

struct Part {
  const char* document;
  const char* name;
  DocumentKind kind;
};

constexpr Part kParts[] = {
    {"notes.docx", "word/document.xml", DocumentKind::kOfficeOpenXml},
    {"notes.docx", "docProps/core.xml", DocumentKind::kOfficeOpenXml},
    {"notes.docx", "_rels/.rels", DocumentKind::kOfficeOpenXml},
    {"visits.xlsx", "xl/workbook.xml", DocumentKind::kOfficeOpenXml},
    {"visits.xlsx", "xl/_rels/workbook.xml.rels", DocumentKind::kOfficeOpenXml},
    {"visits.xlsx", "xl/sharedStrings.xml", DocumentKind::kOfficeOpenXml},
    {"visits.xlsx", "xl/worksheets/sheet1.xml", DocumentKind::kOfficeOpenXml},
    {"notes.pptx", "ppt/presentation.xml", DocumentKind::kOfficeOpenXml},
    {"notes.pptx", "ppt/slides/slide2.xml", DocumentKind::kOfficeOpenXml},
    {"notes.odt", "content.xml", DocumentKind::kOpenDocument},
    {"notes.odt", "meta.xml", DocumentKind::kOpenDocument},
    {"visits.ods", "content.xml", DocumentKind::kOpenDocument},
    {"notes.epub", "META-INF/container.xml", DocumentKind::kEpub},
    {"notes.epub", "EPUB/content.opf", DocumentKind::kEpub},
    {"notes.epub", "EPUB/text/ch001.xhtml", DocumentKind::kEpub},
};

// The test documents' parts, unzipped once.
const ZipContainer& Template(const char* document, DocumentKind kind) {
  static std::map<std::string, ZipContainer> templates;
  auto found = templates.find(document);
  if (found != templates.end()) return found->second;
  ZipContainer zip;
  std::string path =
      std::string(ORVANE_SOURCE_DIR "/tests/data/documents/") + document;
  ReadResult problem = zip.OpenFile(path, [kind](std::string_view name) {
    return kind == DocumentKind::kOpenDocument ? OpenDocumentWants(name)
           : kind == DocumentKind::kEpub       ? EpubWants(name)
                                               : OfficeOpenXmlWants(name);
  });
  fuzz::Require(!problem, "a test document cannot be unzipped");
  return templates.emplace(document, std::move(zip)).first->second;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  fuzz::HeadAndBody input = fuzz::SplitAtFirstLine(fuzz::AsText(data, size));
  const Part* part = &kParts[input.head.size() % std::size(kParts)];
  for (const Part& candidate : kParts) {
    if (input.head == std::string(candidate.document) + " " + candidate.name) {
      part = &candidate;
    }
  }
  ZipContainer zip = Template(part->document, part->kind);
  zip.Put(part->name, std::string(input.body));
  DocumentTextBuilder text(std::uint64_t{4} << 20);
  ReadResult problem = ReadZipContainer(zip, part->kind, text);
  fuzz::Require(!problem || problem->failure == WireFailure::kDamaged ||
                    problem->failure == WireFailure::kTooMuchText,
                "an XML part fails otherwise than as damage");
  fuzz::RequireWellFormed(text.text());
  return 0;
}
