#include "engine/reading/document_kind.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "engine/common/file_descriptor.h"

namespace orvane {

namespace {

constexpr std::string_view kZipLocalHeader("PK\x03\x04", 4);
constexpr std::string_view kZipEndRecord("PK\x05\x06", 4);
constexpr std::string_view kZipDirectoryEntry("PK\x01\x02", 4);

// The names one of which a document's zip holds, and the EPUB mimetype.
constexpr std::string_view kMimetypeName = "mimetype";
constexpr std::string_view kContentTypesName = "[Content_Types].xml";
constexpr std::string_view kContainerName = "META-INF/container.xml";
constexpr std::string_view kEpubMimetype = "application/epub+zip";
constexpr std::string_view kOpenDocumentMimetypes =
    "application/vnd.oasis.opendocument.";
// Every OpenDocument zip holds its text in this entry.
constexpr std::string_view kOpenDocumentContentName = "content.xml";

// The end record is 22 bytes and may be followed by a comment of up to
// 65,535 bytes.
constexpr std::int64_t kEndRecordSize = 22;
constexpr std::int64_t kEndSearchBytes = kEndRecordSize + 65535;
// A larger directory is not read: a document names its telling entries
// among a few hundred others.
constexpr std::int64_t kMaxDirectoryBytes = std::int64_t{16} << 20;

unsigned Little16(std::string_view bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) |
         static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

std::uint32_t Little32(std::string_view bytes, std::size_t at) {
  return Little16(bytes, at) |
         static_cast<std::uint32_t>(Little16(bytes, at + 2)) << 16;
}

// The kind that one entry name of a zip tells, kNone for any other name.
DocumentKind KindOfEntryName(std::string_view name) {
  if (name == kContentTypesName) return DocumentKind::kOfficeOpenXml;
  if (name == kContainerName) return DocumentKind::kEpub;
  return DocumentKind::kNone;
}

DocumentKind RecognizeZipHead(std::string_view head, bool* look_at_directory) {
  // A local header is 30 bytes, then the name, the extra field and, for an
  // entry stored as it is (method 0), its data.
  if (head.size() >= 30) {
    std::size_t name_length = Little16(head, 26);
    std::size_t extra_length = Little16(head, 28);
    if (30 + name_length <= head.size()) {
      std::string_view name = head.substr(30, name_length);
      if (name == kMimetypeName) {
        unsigned method = Little16(head, 8);
        std::size_t data_at = 30 + name_length + extra_length;
        std::size_t data_length = Little32(head, 18);
        if (method == 0 && data_at <= head.size()) {
          // Other formats keep a zip with a mimetype too (pictures of
          // drawing programs): only these two are documents.
          std::string_view data = head.substr(data_at, data_length);
          if (data == kEpubMimetype) return DocumentKind::kEpub;
          if (data.substr(0, kOpenDocumentMimetypes.size()) ==
              kOpenDocumentMimetypes) {
            return DocumentKind::kOpenDocument;
          }
          return DocumentKind::kNone;
        }
      }
      DocumentKind kind = KindOfEntryName(name);
      if (kind != DocumentKind::kNone) return kind;
    }
  }
  if (look_at_directory != nullptr) *look_at_directory = true;
  return DocumentKind::kNone;
}

// pread until size bytes are read or the file ends; false on a read error
// or a short read.
bool ReadExactlyAt(int fd, std::int64_t offset, char* buffer,
                   std::int64_t size) {
  while (size > 0) {
    ssize_t got = pread(fd, buffer, static_cast<std::size_t>(size), offset);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    buffer += got;
    offset += got;
    size -= got;
  }
  return true;
}

}  // namespace

std::string_view DocumentKindName(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::kNone:
      return "";
    case DocumentKind::kPdf:
      return "PDF";
    case DocumentKind::kOpenDocument:
      return "OpenDocument";
    case DocumentKind::kOfficeOpenXml:
      return "Office Open XML";
    case DocumentKind::kEpub:
      return "EPUB";
    case DocumentKind::kGzip:
      return "gzip";
    case DocumentKind::kBzip2:
      return "bzip2";
    case DocumentKind::kXz:
      return "xz";
    case DocumentKind::kZstd:
      return "zstd";
  }
  return "";
}

bool IsCompressedText(DocumentKind kind) {
  return kind == DocumentKind::kGzip || kind == DocumentKind::kBzip2 ||
         kind == DocumentKind::kXz || kind == DocumentKind::kZstd;
}

DocumentKind RecognizeFirstBytes(std::string_view head,
                                 bool* look_at_directory) {
  if (look_at_directory != nullptr) *look_at_directory = false;
  head = head.substr(0, kDocumentHeadBytes);
  auto starts = [head](std::string_view magic) {
    return head.substr(0, magic.size()) == magic;
  };
  if (starts("%PDF-")) return DocumentKind::kPdf;
  if (starts(kZipLocalHeader)) return RecognizeZipHead(head, look_at_directory);
  if (starts("\x1F\x8B")) return DocumentKind::kGzip;
  // "BZh" and the block size, a digit from 1 to 9.
  if (starts("BZh") && head.size() > 3 && head[3] >= '1' && head[3] <= '9') {
    return DocumentKind::kBzip2;
  }
  if (starts(std::string_view("\xFD"
                              "7zXZ\x00",
                              6)))
    return DocumentKind::kXz;
  if (starts("\x28\xB5\x2F\xFD")) return DocumentKind::kZstd;
  return DocumentKind::kNone;
}

DocumentKind RecognizeZipDirectory(int fd, std::int64_t file_size) {
  std::int64_t tail_size = std::min(file_size, kEndSearchBytes);
  if (tail_size < kEndRecordSize) return DocumentKind::kNone;
  std::string tail(static_cast<std::size_t>(tail_size), '\0');
  if (!ReadExactlyAt(fd, file_size - tail_size, tail.data(), tail_size)) {
    return DocumentKind::kNone;
  }
  std::size_t end = tail.rfind(kZipEndRecord);
  if (end == std::string::npos || end + kEndRecordSize > tail.size()) {
    return DocumentKind::kNone;
  }
  std::int64_t directory_size = Little32(tail, end + 12);
  std::int64_t directory_at = Little32(tail, end + 16);
  if (directory_size > kMaxDirectoryBytes ||
      directory_at + directory_size > file_size) {
    return DocumentKind::kNone;
  }
  std::string directory(static_cast<std::size_t>(directory_size), '\0');
  if (!ReadExactlyAt(fd, directory_at, directory.data(), directory_size)) {
    return DocumentKind::kNone;
  }
  bool has_mimetype = false;
  bool has_content = false;
  std::size_t at = 0;
  // An entry: 46 bytes, then its name, extra field and comment.
  while (at + 46 <= directory.size() &&
         std::string_view(directory).substr(at, 4) == kZipDirectoryEntry) {
    std::size_t name_length = Little16(directory, at + 28);
    std::size_t rest = name_length + Little16(directory, at + 30) +
                       Little16(directory, at + 32);
    if (at + 46 + name_length > directory.size()) break;
    std::string_view name =
        std::string_view(directory).substr(at + 46, name_length);
    DocumentKind kind = KindOfEntryName(name);
    if (kind != DocumentKind::kNone) return kind;
    if (name == kMimetypeName) has_mimetype = true;
    if (name == kOpenDocumentContentName) has_content = true;
    at += 46 + rest;
  }
  return has_mimetype && has_content ? DocumentKind::kOpenDocument
                                     : DocumentKind::kNone;
}

DocumentKind RecognizeDocument(int fd) {
  char head[kDocumentHeadBytes];
  ssize_t got;
  do {
    got = pread(fd, head, sizeof head, 0);
  } while (got < 0 && errno == EINTR);
  if (got <= 0) return DocumentKind::kNone;
  bool look_at_directory = false;
  DocumentKind kind =
      RecognizeFirstBytes(std::string_view(head, static_cast<std::size_t>(got)),
                          &look_at_directory);
  if (!look_at_directory) return kind;
  struct stat facts {};
  if (fstat(fd, &facts) != 0) return DocumentKind::kNone;
  return RecognizeZipDirectory(fd, facts.st_size);
}

DocumentKind RecognizeDocumentFile(const std::filesystem::path& path) {
  FileDescriptor file(
      open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  if (!file.ok()) return DocumentKind::kNone;
  struct stat facts {};
  if (fstat(file.get(), &facts) != 0 || !S_ISREG(facts.st_mode)) {
    return DocumentKind::kNone;
  }
  return RecognizeDocument(file.get());
}

}  // namespace orvane
