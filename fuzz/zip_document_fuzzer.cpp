// The zip containers of documents (OpenDocument, Office Open XML, EPUB):
// each input is unzipped from memory by libarchive and read as each of the
// three kinds, whatever its first bytes say, with a small limit on what its
// parts may unpack to.
#include "engine/documents/document_readers.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane;
  std::string_view bytes = fuzz::AsText(data, size);
  for (DocumentKind kind :
       {DocumentKind::kOpenDocument, DocumentKind::kOfficeOpenXml,
        DocumentKind::kEpub}) {
    DocumentTextBuilder text(std::uint64_t{4} << 20);
    ReadResult problem =
        ReadZipDocument(bytes, kind, text, std::uint64_t{4} << 20);
    fuzz::Require(!problem || problem->failure != WireFailure::kNotDocument,
                  "a zip kind is taken for no document");
    fuzz::RequireWellFormed(text.text());
  }
  return 0;
}
