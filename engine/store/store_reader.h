// Reads a store file (store_format.h) through a read-only memory map.
// Opening checks the header, the section table and the checksums of each
// section's pages; each page is checked against its checksum when it is
// first read. Whatever the bytes, no read goes past the map: damage found
// at the open refuses the store, damage found later is the status of the
// call or cursor that found it. A reader's calls may run on several
// threads at once; a cursor or iterator belongs to one thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/status.h"
#include "engine/store/store_entries.h"
#include "engine/store/store_fingerprint.h"
#include "engine/store/store_format.h"

namespace orvane {

class StoreReader;

// Why a store was refused at its open.
enum class StoreProblem {
  kNone,
  kMissing,     // no file of that name
  kUnreadable,  // it could not be opened or mapped
  kNotStore,    // it does not begin as a store file
  kVersion,     // a format version this program does not read
  kCut,         // shorter than its header says
  kDamaged,     // a checksum or a part of its structure is wrong
  kStale,       // it belongs to another index file, or an older one
};

struct StoreReadOptions {
  // Check each page against its checksum when it is first read. Off only
  // to examine the structure of damaged stores (the fuzz target): reading
  // stays safe, but damaged bytes are taken as they are.
  bool verify_checksums = true;
};

// The words of the lexicon in ascending order, from a start: the first
// word at or after a given one, or the first with a given beginning (a
// stem) and then only those.
class LexiconCursor {
 public:
  bool Valid() const { return valid_; }
  // REQUIRES: Valid().
  std::string_view word() const { return words_[position_]; }
  std::int32_t word_number() const { return numbers_[position_]; }
  // The word's position in the lexicon's ascending order (0-based).
  std::uint32_t position() const;
  void Next();
  // Ok, or the damage that ended the walk (Valid() is then false).
  const Status& status() const { return status_; }

 private:
  friend class StoreReader;
  explicit LexiconCursor(const StoreReader* reader) : reader_(reader) {}
  // Decodes block b and stands on its first word at or after target.
  void Enter(std::uint32_t block, std::string_view target);
  void CheckPrefix();

  const StoreReader* reader_;
  std::string prefix_;
  std::uint32_t block_ = 0;
  std::size_t position_ = 0;
  std::vector<std::string> words_;
  std::vector<std::int32_t> numbers_;
  bool valid_ = false;
  Status status_;
};

// A word's postings in ascending file order: each file (by file index,
// file number - 1) that holds the word and the word's score there.
class PostingsIterator {
 public:
  bool Valid() const { return valid_; }
  // REQUIRES: Valid().
  std::uint32_t file_index() const { return files_[at_]; }
  std::uint8_t score() const { return scores_[at_]; }
  void Next();
  // Moves on to the first posting whose file index is target or more; a
  // posting that is there already stays. REQUIRES: Valid().
  void SkipTo(std::uint32_t target);
  // The number of files in the list.
  std::uint32_t count() const { return count_; }
  // Ok, or the damage that ended the list (Valid() is then false).
  const Status& status() const { return status_; }

 private:
  friend class StoreReader;
  explicit PostingsIterator(const StoreReader* reader) : reader_(reader) {}
  void Enter(std::uint32_t block, std::int64_t previous);
  void Fail(Status status);
  std::uint32_t SkipLast(std::uint32_t block) const;
  std::uint32_t SkipEnd(std::uint32_t block) const;

  const StoreReader* reader_;
  std::int32_t word_number_ = 0;
  std::uint32_t count_ = 0;
  std::uint32_t blocks_ = 0;
  const std::uint8_t* skip_ = nullptr;  // the skip entries, when blocks_ > 1
  std::uint64_t blocks_start_ = 0;      // in the postings section
  std::uint64_t blocks_length_ = 0;
  std::uint32_t block_ = 0;
  std::uint32_t in_block_ = 0;
  std::uint32_t at_ = 0;
  std::uint32_t files_[kPostingsPerBlock] = {};
  std::uint8_t scores_[kPostingsPerBlock] = {};
  bool valid_ = false;
  Status status_;
};

class StoreReader {
 public:
  // What FindWord gives for a word that is not in the lexicon.
  static constexpr std::int32_t kNotInLexicon = -1;

  // Opens the store file at path. With expected, a store whose fingerprint
  // differs is refused as stale. Failed, with a message naming the file and
  // what is wrong, and *problem (when given) saying which refusal it is.
  static Result<std::unique_ptr<StoreReader>> Open(
      const std::string& path,
      const std::optional<StoreFingerprint>& expected,
      StoreReadOptions options = {}, StoreProblem* problem = nullptr);

  // Unmaps the file. Cursors and iterators must not outlive the reader.
  ~StoreReader();
  StoreReader(const StoreReader&) = delete;
  StoreReader& operator=(const StoreReader&) = delete;

  const std::string& path() const { return path_; }
  std::uint32_t file_count() const { return file_count_; }
  std::int32_t word_count() const { return word_count_; }
  std::uint64_t posting_count() const { return posting_count_; }
  // The project title (content).
  const std::string& title() const { return title_; }
  const StoreFingerprint& fingerprint() const { return fingerprint_; }
  std::uint64_t size() const { return size_; }

  // The file with that file index; its texts are views into the map.
  // Failed: no such file, or its entry is damaged.
  Result<StoreFileEntry> File(std::uint32_t file_index) const;

  // The word number of word, or kNotInLexicon. Failed: the part of the
  // lexicon the search read is damaged.
  Result<std::int32_t> FindWord(std::string_view word) const;
  // A cursor on the first word at or after word.
  LexiconCursor Seek(std::string_view word) const;
  // A cursor on the words that begin with stem, in ascending order (all
  // of them for an empty stem).
  LexiconCursor WordsWithStem(std::string_view stem) const;
  // A cursor on the word at position (0-based, in ascending order); not
  // valid for a position past the last word.
  LexiconCursor At(std::uint32_t position) const;

  // The postings of word number word_number (1 to word_count()).
  PostingsIterator Postings(std::int32_t word_number) const;

  // The documents' texts section's length; 0 when the store has none.
  std::uint64_t document_texts_length() const { return document_texts_.length; }
  // The bytes [offset, offset + length) of the documents' texts section,
  // their pages checked. Failed: the store has no such section, the bytes
  // pass its end or a page is damaged.
  Result<std::string_view> DocumentTextBytes(std::uint64_t offset,
                                             std::uint64_t length) const;

 private:
  friend class LexiconCursor;
  friend class PostingsIterator;

  struct Section {
    std::uint32_t kind = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::uint64_t checksum = 0;
    std::uint64_t first_page = 0;  // its first page checksum's number
  };

  StoreReader(std::string path, StoreReadOptions options)
      : path_(std::move(path)), options_(options) {}
  Status Load(const std::optional<StoreFingerprint>& expected,
              StoreProblem* problem);
  Status LoadSections();
  Status LoadHeaders();
  Status Damaged(std::string_view what) const;

  // The bytes [offset, offset + length) of a section, their pages checked.
  // nullptr, with *failure set, when they pass the section's end or a page
  // fails its checksum.
  const std::uint8_t* Need(const Section& section, std::uint64_t offset,
                           std::uint64_t length, Status* failure) const;

  // Lexicon: the first word of block b; the block's words.
  bool BlockKey(std::uint32_t block, std::string_view* key,
                Status* failure) const;
  bool DecodeBlock(std::uint32_t block, std::vector<std::string>* words,
                   std::vector<std::int32_t>* numbers, Status* failure) const;
  std::uint32_t BlockOf(std::string_view word, Status* failure) const;

  std::string path_;
  StoreReadOptions options_;
  const std::uint8_t* map_ = nullptr;
  std::uint64_t size_ = 0;
  const std::uint8_t* page_checksums_ = nullptr;
  std::unique_ptr<std::atomic<std::uint8_t>[]> page_checked_;
  std::vector<Section> sections_;
  Section summary_, fingerprint_section_, files_, lexicon_, postings_,
      document_texts_;

  StoreFingerprint fingerprint_;
  std::uint32_t file_count_ = 0;
  std::int32_t word_count_ = 0;
  std::uint64_t posting_count_ = 0;
  std::string title_;
  // File table.
  std::uint64_t entries_offset_ = 0;
  std::uint64_t texts_offset_ = 0;
  std::uint64_t texts_length_ = 0;
  // Lexicon.
  std::uint32_t block_count_ = 0;
  std::uint32_t words_per_block_ = 0;
  std::uint64_t index_offset_ = 0;
  std::uint64_t keys_offset_ = 0;
  std::uint64_t keys_length_ = 0;
  std::uint64_t blocks_offset_ = 0;
  std::uint64_t blocks_length_ = 0;
  // Postings.
  std::uint64_t directory_offset_ = 0;
  std::uint64_t lists_offset_ = 0;
  std::uint64_t lists_length_ = 0;
};

}  // namespace orvane
