// The extract builder: reads one file of a search result in 4096-byte
// blocks and cuts the extracts that the reports show, short pieces of text
// round each occurrence of the search words with the words marked in bold
// and a digit telling where in the file the piece lies. ContainsPhrase
// only finds out whether an exact phrase occurs in the file. It works on
// the file's text (content, Windows-1252; a UTF-16 file read decoded), not
// on the index.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text/document_source.h"

namespace orvane {

// The block size of the extract builder; a word cut by a block boundary is
// not found.
inline constexpr std::size_t kExtractBlockSize = 4096;

// Position (1-based) of the next occurrence of word in text at or after
// start_position whose neighbours are not letters (digits do not break a
// word boundary here); 0 when there is none.
std::int32_t FindWholeWord(std::int32_t start_position, std::string_view text,
                           std::string_view word);

// The two texts of one block of a file that the extracts are made from.
// display: the block with its tags and control characters blanked (a CR
// shows as "/"), UTF-8 punctuation made plain and UTF-8 sequences decoded
// (when decode_utf8: not in a UTF-16 file, which is read decoded) and
// entities decoded; a short last block (last) gets one blank at its end.
// search: display with its entity remnants ("&" with a ";" at most five
// characters later) and every character but letters and digits blanked,
// lower-cased, as long as display. block is changed. Returns the length of the display text before
// its UTF-8 sequences and entities were decoded: the block position of the
// next block advances by it.
std::size_t PrepareExtractBlock(char* block, std::size_t size, bool last,
                                bool decode_utf8, std::string* display,
                                std::string* search);

class ExtractBuilder {
 public:
  // The inputs, set by the caller before a file is processed.
  struct Options {
    // The search words, lower case; for an exact phrase its words in order.
    std::vector<std::string> search_words;
    bool exact_phrase = false;  // "Exact phrase"; otherwise any or all words
    int context_size = 50;      // ten times the selected size of extract
    std::int16_t max_extracts = -1;         // intMaxNumExtracts; -1: no limit
    std::int16_t extract_count_factor = 4;  // set by the window at start
  };

  Options options;

  // Where a document's text is read instead of its bytes (not owned);
  // null: every file is read as it stands.
  void set_document_source(DocumentSource* source) { documents_ = source; }
  DocumentSource* document_source() const { return documents_; }

  // Processes one file. The extracts are then extracts(): entries of the
  // form digit, "} ", "... ", the extract text, " ...", in file order, the
  // search words between "<b>" and "</b>". Returns false when the file could
  // not be opened or read to its end; the extracts gathered so far stay.
  bool BuildExtracts(const std::string& path);

  // True when the words occur in the file as an exact phrase, found as
  // BuildExtracts finds phrases (within one block); false also when the
  // file cannot be read. Stops at the first occurrence. The options stay
  // as they are; the extracts are cleared.
  bool ContainsPhrase(const std::string& path,
                      const std::vector<std::string>& words);

  const std::vector<std::string>& extracts() const { return extracts_; }
  // For each extract, the page of the document that holds it (from 1);
  // empty when the file has no pages.
  const std::vector<std::int32_t>& extract_pages() const { return pages_; }
  std::int16_t extract_count() const {
    return static_cast<std::int16_t>(extracts_.size());
  }
  void ClearExtracts() {
    extracts_.clear();
    pages_.clear();
  }

 private:
  // Finds the occurrences of one block and stores its extracts; true when
  // the file's processing is to stop.
  bool ProcessBlock(const std::string& display, const std::string& search);
  bool WordOccurrences(const std::string& display, const std::string& search);
  bool PhraseOccurrences(const std::string& display, const std::string& search);
  // Builds the extract round position (1-based) of the display text and
  // sets *end_position to the end of its context.
  std::string MakeExtract(const std::string& display, std::int32_t position,
                          std::string_view word, std::int32_t* end_position);
  void MarkSearchWords(std::string& extract) const;
  int PositionTenth(std::int64_t position_in_file);
  // Stores an extract with its tenth, found at position (1-based) of the
  // file's text; true when the file's limit is passed.
  bool StoreExtract(int tenth, std::int64_t position,
                    const std::string& extract);
  // BuildExtracts over a document's text.
  bool BuildFromText(const DocumentSourceText& text);
  // Prepares and processes the blocks of a chunk; true when the file's
  // processing is to stop.
  bool ProcessChunk(std::size_t have, bool decode_utf8);
  bool LimitPassed() const;

  // Bytes read from a file at a time: whole blocks.
  static constexpr std::size_t kChunkSize = 16 * kExtractBlockSize;

  std::vector<std::string> extracts_;
  std::vector<std::int32_t> pages_;
  DocumentSource* documents_ = nullptr;
  // The page starts of the document being read; null for a file.
  const std::vector<std::int64_t>* page_offsets_ = nullptr;
  // Reused from block to block and from file to file.
  std::unique_ptr<char[]> chunk_;
  std::string display_;
  std::string search_;
  std::vector<std::int32_t> next_;
  std::int64_t file_length_ = 0;
  std::int64_t block_position_ = 1;
  int largest_tenth_ = 0;
  // ContainsPhrase: only look for the phrase, and whether it was found.
  bool verify_mode_ = false;
  bool phrase_found_ = false;
};

}  // namespace orvane
