// Word extraction: turns the text of one file into the words that the
// lexicon records. Each line has its typographic punctuation made plain and
// its UTF-8 sequences decoded, and is trimmed and lower-cased; a mail
// file's base64 part ends the file, whitespace and entities are normalised,
// markup between tag markers is skipped, and the words that pass the
// filters (common words once per file, no special letters when they are
// excluded, no three identical characters in a row) go to the lexicon in
// text order. All text here is content.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/cp1252.h"
#include "engine/index/common_words.h"
#include "engine/index/extraction_lines.h"
#include "engine/index/lexicon.h"

namespace orvane {

// What the extraction of a file asks of its caller between lines.
class ExtractionObserver {
 public:
  virtual ~ExtractionObserver() = default;
  // Called after every line (empty lines included): lets the window system
  // process pending input and shows the word count. Returns false to stop
  // reading the file (quit, stop).
  virtual bool AfterLine() = 0;
};

// Why a word of the text is never recorded, wherever it occurs.
enum class WordDrop {
  kTooLong,         // more than kMaxWordLength characters
  kSpecialLetters,  // holds a special letter, and those words are excluded
  kThreeInARow,     // holds three identical characters in a row
};

// Where the accepted words of a file go, in text order.
class WordSink {
 public:
  virtual ~WordSink() = default;
  // Told of a word that a filter dropped, whatever the file (a repeated
  // common word is not told: its first occurrence in each file counts).
  virtual void DropWord(std::string_view /*word*/, WordDrop /*why*/) {}
  // Takes the next accepted word (1 to 60 characters) with its HashWord
  // (word_hash.h). Returns false when no further word can be taken: the
  // lexicon is full and the run must stop.
  virtual bool TakeWord(std::string_view word, std::uint32_t hash) = 0;
};

class WordExtractor {
 public:
  static constexpr std::int32_t kMaxWordLength = 60;

  // Neither is owned; both must outlive the extractor. The words go to the
  // lexicon, which the extractor also starts for each pass and file.
  WordExtractor(CommonWords* common_words, Lexicon* lexicon);
  // The words go to sink; whoever keeps the lexicon starts its passes and
  // files.
  WordExtractor(CommonWords* common_words, WordSink* sink);

  // Prepares a run: empties the lexicon and sets the tag markers of HTML.
  void StartWordExtraction();

  // "HTML": "<" and ">"; "C": "/*" and "*/"; anything else: no markers, and
  // no tag skip at all.
  void SetTagMarkers(std::string_view type);

  // Whether words with special letters are dropped.
  void set_exclude_special_letters(bool exclude);

  // Begins a file: the inside-tag state and the seen common words are
  // cleared, and the lexicon starts the file's counts.
  void StartFile();

  enum class FileResult { kRead, kVanished };
  // Reads the file's lines (split at LF too when split_at_lf: a file with
  // LF-only line ends) and hands its words to the lexicon. kVanished: the
  // file is no longer there. A file that cannot be opened or read gives
  // the failure, with the system's description; words already handed on
  // stay in the lexicon either way.
  // REQUIRES: StartFile() was called for this file.
  Result<FileResult> ExtractFileWords(const std::string& path, bool split_at_lf,
                                      ExtractionObserver* observer);

  // The lines of a document's text, already content, as the lines of a
  // file: decode_utf8 when they still hold UTF-8 sequences (a compressed
  // text's lines as its file holds them). Stops as ExtractFileWords does.
  // REQUIRES: StartFile() was called for this document.
  void ExtractContentWords(const std::vector<Content>& lines, bool decode_utf8,
                           ExtractionObserver* observer);

  // One line as read from a file: makes its typographic punctuation plain
  // and decodes its UTF-8 sequences (not in a UTF-16 file, whose lines are
  // decoded), trims it, lower-cases it and scans it. Returns false when the
  // line starts a base64 part, where reading of the file ends.
  bool ProcessLine(std::string_view raw_line);

  // Normalises whitespace and entities (in place) and scans one line (lower
  // case, with its leading space), as a line of the current file.
  void ExtractLineWords(std::string& line);

  // True once the lexicon ran out of word numbers; the run must stop.
  bool lexicon_full() const { return lexicon_full_; }

 private:
  bool AtTagStart(std::string_view line, std::size_t index) const;
  // has_special_letter: the word holds a special letter.
  void TakeWord(std::string_view word, bool has_special_letter);

  // The sink that hands the words to the lexicon.
  class LexiconSink : public WordSink {
   public:
    explicit LexiconSink(Lexicon* lexicon) : lexicon_(lexicon) {}
    bool TakeWord(std::string_view word, std::uint32_t hash) override {
      return lexicon_->AddWordToLexicon(word, hash);
    }

   private:
    Lexicon* lexicon_;
  };

  void SetByteClasses();

  CommonWords* common_words_;
  Lexicon* lexicon_;  // null when the words go to another sink
  LexiconSink lexicon_sink_;
  WordSink* sink_;
  std::string tag_start_;
  std::string tag_end_;
  bool inside_tag_ = false;
  bool exclude_special_letters_ = true;
  bool lexicon_full_ = false;
  // False while a UTF-16 file is read.
  bool decode_utf8_ = true;
  ExtractionLines lines_;  // kept for its buffer
  std::string line_;       // likewise
  std::string decoded_;    // likewise
  // Byte classes, from the character tables: bits of kWordByte and the
  // others in word_extraction.cpp.
  std::uint8_t byte_class_[256];
};

}  // namespace orvane
