#include "engine/documents/document_readers.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "engine/common/file_descriptor.h"
#include "engine/documents/compressed_text.h"
#include "engine/documents/pdf_document.h"
#include "engine/documents/zip_documents.h"

namespace orvane {

namespace {

ZipContainer::Wanted WantedBy(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::kOpenDocument:
      return OpenDocumentWants;
    case DocumentKind::kOfficeOpenXml:
      return OfficeOpenXmlWants;
    default:
      return EpubWants;
  }
}

bool IsZipKind(DocumentKind kind) {
  return kind == DocumentKind::kOpenDocument ||
         kind == DocumentKind::kOfficeOpenXml || kind == DocumentKind::kEpub;
}

}  // namespace

ReadResult ReadZipContainer(ZipContainer& zip, DocumentKind kind,
                            DocumentSink& sink) {
  switch (kind) {
    case DocumentKind::kOpenDocument:
      return ReadOpenDocument(zip, sink);
    case DocumentKind::kOfficeOpenXml:
      return ReadOfficeOpenXml(zip, sink);
    case DocumentKind::kEpub:
      return ReadEpub(zip, sink);
    default:
      return ReadProblem{WireFailure::kNotDocument, {}};
  }
}

ReadResult ReadDocument(const std::string& path, DocumentKind kind,
                        DocumentSink& sink) {
  // Whether the file opens is told in the system's words, before a library
  // tells it in its own. A pipe or device is no document: never wait on one.
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!file.ok()) {
    return ReadProblem{WireFailure::kCannotOpen, std::strerror(errno)};
  }
  struct stat facts {};
  if (fstat(file.get(), &facts) != 0 || !S_ISREG(facts.st_mode)) {
    return ReadProblem{WireFailure::kNotDocument, {}};
  }
  file.Close();
  if (kind == DocumentKind::kPdf) return ReadPdf(path, sink);
  if (IsCompressedText(kind)) return ReadCompressedText(path, sink);
  if (!IsZipKind(kind)) return ReadProblem{WireFailure::kNotDocument, {}};
  ZipContainer zip;
  if (ReadResult problem = zip.OpenFile(path, WantedBy(kind))) return problem;
  return ReadZipContainer(zip, kind, sink);
}

ReadResult ReadZipDocument(std::string_view bytes, DocumentKind kind,
                           DocumentSink& sink,
                           std::uint64_t max_unpacked_bytes) {
  if (!IsZipKind(kind)) return ReadProblem{WireFailure::kNotDocument, {}};
  ZipContainer zip(max_unpacked_bytes);
  if (ReadResult problem = zip.OpenMemory(bytes, WantedBy(kind))) {
    return problem;
  }
  return ReadZipContainer(zip, kind, sink);
}

}  // namespace orvane
