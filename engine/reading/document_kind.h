// What kind of document a file is, told by its first bytes and never by its
// name: a PDF ("%PDF-"), a zip container of an OpenDocument file, an Office
// Open XML file or an EPUB book, or text compressed with gzip, bzip2, xz or
// zstd. Everything else is no document and is read as the files of a folder
// tree have always been read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace orvane {

enum class DocumentKind {
  kNone,           // not a document: a text file, or anything else
  kPdf,            // begins with "%PDF-"
  kOpenDocument,   // a zip holding "mimetype" of an OpenDocument type (or
                   // "mimetype" beside "content.xml"): .odt .ods .odp ...
  kOfficeOpenXml,  // a zip holding "[Content_Types].xml" (.docx .xlsx .pptx)
  kEpub,           // a zip holding "META-INF/container.xml", or a first
                   // entry "mimetype" of "application/epub+zip"
  kGzip,
  kBzip2,
  kXz,
  kZstd,
};

// The kind's name for messages ("PDF", "OpenDocument", "Office Open XML",
// "EPUB", "gzip", "bzip2", "xz", "zstd"; "" for kNone).
std::string_view DocumentKindName(DocumentKind kind);

// True for the four compressors: the file holds a text that is read as the
// text it holds.
bool IsCompressedText(DocumentKind kind);

// How many first bytes RecognizeFirstBytes looks at, at most.
inline constexpr std::size_t kDocumentHeadBytes = 512;

// The kind that the first bytes of a file give. A zip whose first entry
// names none of the three telling names gives kNone and sets
// *look_at_directory, since the name may stand later in the zip: then
// RecognizeZipDirectory decides. look_at_directory may be null.
DocumentKind RecognizeFirstBytes(std::string_view head,
                                 bool* look_at_directory);

// The kind of the zip file open as fd (file_size bytes), from the names in
// its central directory, found through its end record within the last
// 64 KiB. kNone when the directory cannot be found or read, or names none
// of the telling names. A zip64 directory is not looked into: no document
// is that large.
DocumentKind RecognizeZipDirectory(int fd, std::int64_t file_size);

// The kind of the regular file open as fd (read with pread, so its offset
// stays): its first bytes, and for a zip its directory. kNone also when it
// cannot be read (the reader of text files reports that).
DocumentKind RecognizeDocument(int fd);

// The kind of the file at path: its first bytes, and for a zip its
// directory. kNone also when the file cannot be opened or read (the reader
// of text files reports that).
DocumentKind RecognizeDocumentFile(const std::filesystem::path& path);

}  // namespace orvane
