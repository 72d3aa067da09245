// Where an index is kept: the seam between the program and its stores. An
// indexing run hands its files, each file's scores and, at the end, the
// title and the sorted lexicon to an IndexStoreWriter; the Search Module
// answers from an IndexStoreReader: the files, the title, the lexicon and
// each word's postings, (file, score) pairs in file order. The classic pair
// (the index file and the data file of one byte per word and file beside
// it) is the first store behind the seam.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "engine/common/status.h"
#include "engine/text/document_source.h"

namespace orvane {

// The stores an index can be kept in.
enum class IndexStoreKind {
  kClassic,  // the index file and the data file beside it
  kStore,    // the index file and the store file beside it
};

// The limits of the classic pair: a run indexes at most 32,000 files, and
// the Search Module reads at most 32,766 entries of a file list. They are
// limits of that store, not of the program's types: file numbers, counts
// and indexes are 32-bit everywhere in memory.
inline constexpr std::uint32_t kClassicMaxFilesIndexed = 32000;
inline constexpr std::uint32_t kClassicMaxFilesRead = 32766;

// The most files a run may index into a store file without the classic
// data file: far more than any folder tree a desktop holds, and within
// what the index text's numbers and the store's 32-bit file indexes take.
inline constexpr std::uint32_t kStoreMaxFilesIndexed = 10'000'000;

// The most files one run may index into a store of that kind.
std::uint32_t MaxFilesIndexed(IndexStoreKind kind);

// What a store keeps of one indexed file. Its views are valid for the call
// that takes them, or, from a reader, for as long as the reader lives.
struct IndexedFile {
  std::string_view relative_path;  // path bytes, relative to the top folder
  // What was found of the file when it was indexed. False: the store keeps
  // the path alone (the classic pair does), and the fields below say
  // nothing.
  bool has_details = false;
  std::int64_t size = 0;         // bytes
  std::int64_t modified_ns = 0;  // modification time, ns since the epoch
  // What the results box shows: the title as GetHtmlTitle gives it (a
  // status text such as "Not HTML file" included), and for a file that is
  // not HTML its first text; the description (all content).
  std::string_view title;
  std::string_view first_text;
  std::string_view description;
};

// The postings of one word: the files that hold it, by file index (file
// number - 1) in ascending order, each with the word's score there (1 to
// 255).
struct Postings {
  std::vector<std::uint32_t> file_indexes;
  std::vector<std::uint8_t> scores;

  std::size_t size() const { return file_indexes.size(); }
  bool empty() const { return file_indexes.empty(); }
  void clear() {
    file_indexes.clear();
    scores.clear();
  }
};

// Positions first .. last - 1 of the lexicon in its ascending order.
struct WordRange {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  bool empty() const { return first >= last; }
};

// An index as the Search Module reads it. A reader is used from one thread.
class IndexStoreReader {
 public:
  virtual ~IndexStoreReader() = default;

  // The files, numbered 1 to file_count() in the order the run read them.
  virtual std::uint32_t file_count() const = 0;
  // REQUIRES: file_index < file_count().
  virtual IndexedFile File(std::uint32_t file_index) const = 0;

  // The project's title (content).
  virtual std::string_view title() const = 0;

  // The lexicon: word_count() words in ascending character-code order;
  // a word's position is its 0-based place in that order, its word number
  // (1 to word_count()) the order in which the run first met it.
  virtual std::uint32_t word_count() const = 0;
  // REQUIRES: position < word_count().
  virtual std::string_view WordAt(std::uint32_t position) const = 0;
  virtual std::int32_t WordNumberAt(std::uint32_t position) const = 0;
  // The word number of word; nothing when the lexicon does not hold it.
  virtual std::optional<std::int32_t> FindWord(std::string_view word) const = 0;
  // The positions of the words that begin with stem (all of them for an
  // empty stem).
  virtual WordRange StemRange(std::string_view stem) const = 0;

  // Replaces *postings by the postings of the word with that word number
  // (none for a number outside 1 to word_count()). Failed: the store could
  // not be read; the message tells the user what was not read and what
  // happens next.
  virtual Status ReadPostings(std::int32_t word_number, Postings* postings) = 0;
};

// The words of a finished run, as a writer takes them.
class RunLexicon {
 public:
  virtual ~RunLexicon() = default;
  // W, the number of distinct words.
  virtual std::int32_t word_count() const = 0;
  // REQUIRES: 1 <= word_number <= word_count().
  virtual std::string_view word(std::int32_t word_number) const = 0;
  // The word numbers in ascending character-code order of their words.
  virtual std::vector<std::int32_t> WordNumbersInOrder() const = 0;
};

// Writes the index of one run. The run calls, in this order: Begin; for
// each file in file order AddFile, KeepDocumentText when it is a document
// that was read and, when the file holds words, AddFileScores;
// WriteLexicon; FinishWriting; CompressIndexFile; Commit.
// Discard may come at any point and ends the writer. Until Commit
// succeeds nothing is published: the files of an earlier index stay as
// they are, and every file of the run lies under a name of its own.
class IndexStoreWriter {
 public:
  // Discards, unless Commit succeeded.
  virtual ~IndexStoreWriter() = default;

  // Removes what runs that have ended left behind, then creates the run's
  // files under their temporary names. Failed: the message names the
  // file.
  virtual Status Begin(std::uint32_t num_files) = 0;

  // The next file, numbered from 1: every file of the run, read or not.
  virtual void AddFile(const IndexedFile& file) = 0;
  // The scores of the file last added: its words by word index (word
  // number - 1), in any order, each once, with their scores (1 to 255).
  virtual void AddFileScores(std::span<const std::uint32_t> word_indexes,
                             std::span<const std::uint8_t> scores) = 0;

  // Keeps the text that the document reader found in a document of the
  // run, with the document's size and modification time (ns) when it was
  // read, so that searches read the text instead of the document while it
  // is unchanged. A store that keeps no texts takes it and keeps nothing.
  // Failed: the text could not be written (the message names the file).
  virtual Status KeepDocumentText(std::string_view relative_path,
                                  std::int64_t size, std::int64_t modified_ns,
                                  const DocumentSourceText& text) {
    (void)relative_path, (void)size, (void)modified_ns, (void)text;
    return Status::Ok();
  }

  // The title (content without a double quote) and the lexicon, after the
  // last file. Failed: the lexicon could not be written.
  virtual Status WriteLexicon(std::string_view title,
                              const RunLexicon& lexicon) = 0;
  // Writes everything else but the compression of the index file. Failed:
  // a write failed (a full disk), or the index is too large for its
  // format.
  virtual Status FinishWriting() = 0;
  // Compresses the index file. Failed: the compression component could
  // not be prepared or failed.
  virtual Status CompressIndexFile() = 0;

  // Publishes the run's files under their own names, each replacing the
  // file of the earlier index whole. Failed: nothing is published, the
  // earlier index stays.
  virtual Status Commit() = 0;

  // Removes the run's files; nothing is published.
  virtual void Discard() = 0;
};

}  // namespace orvane
