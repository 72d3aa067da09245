// The documents' texts of an index: the text that the document reader found
// in each document of a run, kept in the store file's documents' texts
// section (store_format.h), so that extracts, the phrase check and titles
// read it instead of running a reader again while the document is
// unchanged. Each document's text is one zstd frame; a table names the
// document (its path relative to the top folder, its size and modification
// time when read) and where its frame lies. The store's fingerprint ties
// the texts to their index file, and its page checksums guard them.
//
// A run gathers the frames in a work file of its own while it reads the
// documents (DocumentTextGatherer); the store writer copies them into the
// section when the store is written.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/common/status.h"
#include "engine/store/store_reader.h"
#include "engine/text/document_source.h"

namespace orvane {

// When a document was read: a later size or time means it changed.
struct DocumentStamp {
  std::int64_t size = 0;
  std::int64_t modified_ns = 0;

  bool operator==(const DocumentStamp&) const = default;
};

// The stamp of the file at path; false when it cannot be looked at.
bool StampOfFile(const std::string& path, DocumentStamp* stamp);

// The documents' texts of a run, until the store takes them: the frames in
// a work file, the table in memory.
class DocumentTextGatherer {
 public:
  // Writes the frames to work_path (a run's temporary name), created at
  // the first Add.
  explicit DocumentTextGatherer(std::string work_path);
  // Removes the work file.
  ~DocumentTextGatherer();
  DocumentTextGatherer(const DocumentTextGatherer&) = delete;
  DocumentTextGatherer& operator=(const DocumentTextGatherer&) = delete;

  // Adds a document's text. Failed: the work file cannot be written (the
  // message names it); later calls fail too.
  Status Add(std::string_view relative_path, const DocumentStamp& stamp,
             const DocumentSourceText& text);
  std::size_t count() const { return count_; }

  // The frames, one after the other, frames_length() bytes in all.
  std::uint64_t frames_length() const { return offset_; }
  // Reads size bytes of the frames from offset into *out. Failed: the
  // work file cannot be read.
  Status ReadFrames(std::uint64_t offset, std::size_t size,
                    std::string* out) const;
  // The table as the section holds it (without the count).
  const std::string& table() const { return table_; }

 private:
  Status Open();

  std::string work_path_;
  int fd_ = -1;
  Status failed_;
  std::uint64_t offset_ = 0;
  std::size_t count_ = 0;
  std::string table_;
};

// The documents' texts section of a store file, read through its reader,
// which must outlive it.
class DocumentTextSection {
 public:
  // The texts of the store; none when it has no such section (a store the
  // Search Module made from the index text, or of a run that read no
  // document). Failed: the section's header or table is damaged (the
  // message names the store file and what is wrong).
  static Result<std::unique_ptr<DocumentTextSection>> Open(
      const StoreReader& store);
  DocumentTextSection(const DocumentTextSection&) = delete;
  DocumentTextSection& operator=(const DocumentTextSection&) = delete;

  // The text kept for the document, when it was kept with this stamp;
  // nullptr when not (a changed document, or one that is not there).
  // Failed: its frame is damaged (the message says where).
  Result<std::shared_ptr<DocumentSourceText>> Find(
      std::string_view relative_path, const DocumentStamp& stamp) const;
  std::size_t count() const { return entries_.size(); }
  // Whether a text is kept for the document, whatever its stamp.
  bool Holds(std::string_view relative_path) const {
    return entries_.count(std::string(relative_path)) != 0;
  }
  // The documents kept, with their stamps, in no particular order.
  std::vector<std::pair<std::string, DocumentStamp>> Documents() const;

 private:
  struct Entry {
    DocumentStamp stamp;
    std::uint64_t offset = 0;  // from the section's start
    std::uint64_t length = 0;
  };
  explicit DocumentTextSection(const StoreReader& store) : store_(store) {}

  const StoreReader& store_;
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace orvane
