// Writes a store file (store_format.h) as an indexing run goes: the files
// in file order, each with its metadata and its words' scores, then the
// project title and the sorted lexicon, then the fingerprint of the index
// file; the documents' texts of the run, when it read documents, before
// the fingerprint. The store is written under a temporary name and takes its own
// name, flushed to the disk, only in Commit; a writer that fails, is
// discarded or is destroyed before Commit leaves nothing behind. Peak
// memory grows with the lexicon and the memory budget, not with the number
// of files: the postings are spilled as sorted runs into a work file
// without a name and merged at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/status.h"
#include "engine/files/buffered_file.h"
#include "engine/store/document_text_section.h"
#include "engine/store/postings_sorter.h"
#include "engine/store/store_entries.h"
#include "engine/store/store_fingerprint.h"
#include "engine/store/store_format.h"

namespace orvane {

struct StoreWriterOptions {
  // The bytes that the buffered scores may take before they are sorted and
  // spilled into the work file.
  std::size_t memory_budget = std::size_t{256} << 20;
};

class StoreWriter {
 public:
  // path: the store's own name; partial_path: the temporary name it is
  // written under, in the same folder.
  StoreWriter(std::string path, std::string partial_path,
              StoreWriterOptions options = {});
  // Discards the store unless Commit succeeded.
  ~StoreWriter();
  StoreWriter(const StoreWriter&) = delete;
  StoreWriter& operator=(const StoreWriter&) = delete;

  // Creates the store under its temporary name (replacing a file left
  // there). Failed: the message names the file and the reason.
  Status Create();

  // Adds the next file (its file index is the number of files added
  // before) and its words' scores, in any order. Refused (and nothing
  // added): a score of 0, a word given twice, a word index beyond the
  // largest word number, a time's nanoseconds above 999,999,999 or more
  // files than 32-bit file indexes allow. Failed: a write failed.
  // REQUIRES: Create succeeded; Finish not called.
  Status AddFile(const StoreFileEntry& file,
                 std::span<const StoreScore> scores);

  // Instead of scores with the files: the postings of one word at a time,
  // in the order of the word numbers from 1 (as the count lines of an
  // index text give them), each its ascending file indexes and their
  // scores, after every file was added without scores. Refused: a word out
  // of turn, files out of order or beyond those added, a score of 0, or
  // files added with scores before.
  Status AddWordPostings(std::int32_t word_number,
                         std::span<const std::uint32_t> files,
                         std::span<const std::uint8_t> scores);

  // Writes the rest but the fingerprint: the title (content), the lexicon
  // (every word once, in ascending order of its bytes, with the word
  // numbers 1 to W, each once; the scores' word index n is word number
  // n + 1) and the postings, merged. Refused: the lexicon breaks one of
  // those rules, lacks a word that a score names or has another number of
  // words than AddWordPostings gave; failed: a write failed.
  // each_word, when given, sees each word's postings as they are merged,
  // word index 0 first, every word of the lexicon once (with none for a
  // word without any); its first failure stops the writing and is
  // returned. Not called for postings given by AddWordPostings.
  // REQUIRES: Create succeeded; called once.
  using EachWord = std::function<Status(std::span<const std::uint32_t> files,
                                        std::span<const std::uint8_t> scores)>;
  Status Finish(std::string_view title, std::span<const StoreWord> lexicon,
                const EachWord& each_word = nullptr);

  // Adds the documents' texts section: the gathered frames, copied, and
  // their table. Failed: the frames could not be read or the store could
  // not be written. REQUIRES: Finish succeeded; called at most once,
  // before Commit.
  Status AddDocumentTexts(const DocumentTextGatherer& texts);

  // Writes the fingerprint, the checksums and the header, writes the file
  // through to the disk and gives it its own name (replacing the store
  // there). REQUIRES: Finish succeeded.
  Status Commit(const StoreFingerprint& fingerprint);

  // Closes and removes what the writer wrote (nothing when committed).
  void Discard();

  std::uint32_t file_count() const { return sorter_.file_count(); }
  std::uint64_t posting_count() const {
    return sorter_.posting_count() + word_postings_;
  }
  // The sorted runs spilled into the work file so far.
  std::size_t run_count() const { return sorter_.run_count(); }
  // The store's length in bytes, once committed.
  std::uint64_t size() const { return size_; }

 private:
  struct Section {
    std::uint32_t kind;
    std::uint64_t offset;
    std::uint64_t length;
    std::uint64_t checksum;
  };

  // Records a failure, discards the store and returns the failure.
  Status Fail(Status failure);
  // Begins a section at the next page boundary.
  void BeginSection(StoreSectionKind kind);
  // Ends the last section begun; its header (the bytes at its start) is
  // written over the placeholder there.
  Status EndSection(std::string_view header);
  std::uint64_t SectionStart() const { return sections_.back().offset; }
  Status CheckLexicon(std::span<const StoreWord> lexicon) const;
  Status WriteFileTable();
  // The postings section: begun, a list appended per word, ended with
  // the directory.
  Status BeginPostings();
  Status AppendList(std::span<const std::uint32_t> files,
                    std::span<const std::uint8_t> scores);
  Status EndPostings(std::uint32_t word_count);
  Status WriteLexicon(std::span<const StoreWord> lexicon);
  Status WritePageChecksums();

  std::string path_;
  std::string partial_path_;
  BufferedFile out_;
  BufferedFile entries_;  // the file table's entries, until Finish
  store::PostingsSorter sorter_;
  std::vector<Section> sections_;
  std::uint64_t texts_length_ = 0;
  // The postings section: where its lists begin, each list's offset from
  // there, the list being encoded.
  std::uint64_t lists_offset_ = 0;
  std::vector<std::uint64_t> directory_;
  std::string list_;
  // AddWordPostings was called; the postings it gave.
  bool by_word_ = false;
  std::uint64_t word_postings_ = 0;
  std::uint64_t size_ = 0;
  bool created_ = false;
  bool finished_ = false;
  bool committed_ = false;
  Status status_;
};

}  // namespace orvane
