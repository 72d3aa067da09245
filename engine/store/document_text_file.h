// The text file of an index, NAME_text.tavo: the text that the document
// reader found in each document of the run, so that extracts, the phrase
// check and titles read it instead of running a reader again. Each
// document's text is one zstd frame; a table names the document (its path
// relative to the top folder, its size and modification time when read)
// and where its frame lies; a trailer holds the fingerprint of the index
// file the text belongs to, so that a text file left from another run is
// never taken for this index's.
//
//   frames     one zstd frame a document: varint-length strings title and
//              text, a varint 0 or 1 (decode_utf8), a varint page count
//              and each page's offset as a varint
//   table      varint count; per document: string path, varint size,
//              varint modification time (ns), varint frame offset and
//              varint frame length
//   trailer    u64 table offset, u64 table length, u64 index file size,
//              u64 index text length, u32 index text checksum, "OTX1"
//
// Numbers little-endian; strings a varint length and their bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/common/status.h"
#include "engine/store/store_fingerprint.h"
#include "engine/text/document_source.h"

namespace orvane {

inline constexpr std::string_view kTextFileEnding = "_text.tavo";

// The text file of an index file: the text before the last "_index.tavo",
// then "_text.tavo". Empty when the path holds no "_index.tavo".
std::string TextFilePathFor(std::string_view index_path);

// When a document was read: a later size or time means it changed.
struct DocumentStamp {
  std::int64_t size = 0;
  std::int64_t modified_ns = 0;

  bool operator==(const DocumentStamp&) const = default;
};

// The stamp of the file at path; false when it cannot be looked at.
bool StampOfFile(const std::string& path, DocumentStamp* stamp);

class DocumentTextFileWriter {
 public:
  // Writes to work_path (a run's temporary name) until Commit.
  explicit DocumentTextFileWriter(std::string work_path);
  // Discard() unless committed.
  ~DocumentTextFileWriter();
  DocumentTextFileWriter(const DocumentTextFileWriter&) = delete;
  DocumentTextFileWriter& operator=(const DocumentTextFileWriter&) = delete;

  // Adds a document's text. Failed: the file cannot be written (the
  // message names it); later calls fail too.
  Status Add(std::string_view relative_path, const DocumentStamp& stamp,
             const DocumentSourceText& text);
  std::size_t count() const { return count_; }

  // Writes the table and the trailer with the index file's fingerprint and
  // renames the file to final_path.
  Status Commit(const StoreFingerprint& fingerprint,
                const std::string& final_path);
  // Removes the work file.
  void Discard();

 private:
  Status Open();

  std::string work_path_;
  int fd_ = -1;
  bool done_ = false;
  Status failed_;
  std::uint64_t offset_ = 0;
  std::size_t count_ = 0;
  std::string table_;
};

// A text file opened for the index it belongs to.
class DocumentTextFile {
 public:
  // Opens the text file of the index file. Failed: it is missing, damaged
  // or belongs to another index (the message says which).
  static Result<std::unique_ptr<DocumentTextFile>> Open(
      const std::string& text_path, const StoreFingerprint& fingerprint);
  ~DocumentTextFile();
  DocumentTextFile(const DocumentTextFile&) = delete;
  DocumentTextFile& operator=(const DocumentTextFile&) = delete;

  // The text kept for the document, when it was kept with this stamp;
  // nullptr when not (a changed document, or one that is not there), or
  // when its frame is damaged.
  std::shared_ptr<DocumentSourceText> Find(std::string_view relative_path,
                                           const DocumentStamp& stamp) const;
  std::size_t count() const { return entries_.size(); }
  // The documents kept, with their stamps, in no particular order.
  std::vector<std::pair<std::string, DocumentStamp>> Documents() const;

 private:
  struct Entry {
    DocumentStamp stamp;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
  };
  DocumentTextFile() = default;

  int fd_ = -1;
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace orvane
