// The words of a run's files, read ahead on threads of their own: while
// the lexicon takes the words of one file, the next files are read, their
// lines normalised and cut into words, and the words filtered, exactly as
// word extraction does it. A reading thread counts the words of a stretch
// of its file itself and hands on each distinct word once, with its count,
// in the order of its first occurrence: the lexicon, fed on the calling
// thread (where every call to the ports is made, in the order a single
// thread would make it), looks up a word once per stretch instead of once
// per occurrence, and ends with the same word numbers and counts.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/index/common_words.h"
#include "engine/index/file_details.h"
#include "engine/index/lexicon.h"
#include "engine/index/word_extraction.h"

namespace orvane {

class WordReader {
 public:
  struct FileToRead {
    std::string path;
    bool split_at_lf = false;  // the file's line ends are LF only
    // A document, whose words the caller takes from the document reader:
    // HandOnFile hands on no word for it.
    bool document = false;
  };

  // common_words is not owned; from Start to Stop only the reader's
  // threads use it (the second one a copy of it).
  WordReader(CommonWords* common_words, bool exclude_special_letters);
  // Stops the reading.
  ~WordReader();
  WordReader(const WordReader&) = delete;
  WordReader& operator=(const WordReader&) = delete;

  // Starts reading the files, in order, as one pass of word extraction.
  // With two processors or more, two threads read the files in turns: the
  // first, third, ... file and the second, fourth, ... file, each with its
  // own extractor state (which begins afresh with every file). Given
  // find_details, each file's details are found with it too, on the
  // reading thread, before its words are read.
  void Start(std::vector<FileToRead> files,
             FindFileDetails find_details = FindFileDetails());

  // Hands the words of the next file to the lexicon, a stretch of the file
  // at a time (each distinct word of the stretch once, with its count, in
  // the order of first occurrence), and calls observer->AfterLine() after
  // each stretch; a false answer ends the file there, as does a full
  // lexicon (lexicon_full(): the words of the stretch not yet taken are
  // dropped). The result is that of WordExtractor::ExtractFileWords; a file
  // ended early counts as read. When Start was asked for details and the
  // file was handed on whole, *details receives them (else it is left
  // unknown). The lexicon's StartFile is the caller's.
  // Throws what a reading thread threw (a failure to get memory).
  // REQUIRES: Start was called; no more calls than files.
  Result<WordExtractor::FileResult> HandOnFile(Lexicon* lexicon,
                                               ExtractionObserver* observer,
                                               FileDetails* details = nullptr);

  // True once a word could not be added for want of word numbers.
  bool lexicon_full() const { return lexicon_full_; }

  // Ends the reading at its next line and waits for the threads.
  void Stop();

 private:
  // The distinct words of a stretch of one file, in the order of their
  // first occurrence in it.
  struct Piece {
    // Each word as its length (1 to 60) and its bytes.
    std::string records;
    // Of each word: HashWord, its occurrences in the stretch (stopping at
    // 255, as a count in the lexicon does) and where its record begins.
    std::vector<std::uint32_t> hashes;
    std::vector<std::uint8_t> counts;
    std::vector<std::uint32_t> offsets;
    bool file_end = false;  // the last piece of its file
    // How its file ended, and its details when asked for (the last piece
    // only).
    Result<WordExtractor::FileResult> result = WordExtractor::FileResult::kRead;
    FileDetails details;
  };

  // One reading thread, its files (every lanes_.size()-th) and the pieces
  // it hands over, in order.
  struct Lane {
    std::size_t first_file = 0;
    CommonWords* common_words = nullptr;
    std::thread thread;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Piece> pieces;
    std::deque<std::size_t> free;
    std::deque<std::size_t> filled;
    bool finished = false;  // the thread has delivered all it will
    std::exception_ptr failure;
    // The reading thread's own: the piece being filled, and a hash table
    // of its words (the word's place in the piece + 1; 0: an empty slot)
    // with the slots in use, cleared for every piece.
    Piece* filling = nullptr;
    std::size_t filling_index = 0;
    std::vector<std::uint32_t> slots;
    std::vector<std::uint32_t> used_slots;
    // Words and lines read into the piece.
    std::size_t stretch_work = 0;
    // The calling thread's own: the piece taken last, still to be freed.
    bool holding = false;
    std::size_t held_index = 0;
  };

  // What a reading thread gives its extractor.
  class Feed : public WordSink, public ExtractionObserver {
   public:
    Feed(WordReader* reader, Lane* lane) : reader_(reader), lane_(lane) {}
    bool TakeWord(std::string_view word, std::uint32_t hash) override;
    bool AfterLine() override;

   private:
    // Hands the piece on and takes a fresh one; false once stopped.
    bool HandOnStretch();

    WordReader* reader_;
    Lane* lane_;
  };

  // A reading thread: the piece's table twice as large, its words placed
  // again.
  static void GrowTable(Lane* lane);
  // Starts count lanes; false when a thread could not be had.
  bool StartLanes(std::size_t count);
  void Run(Lane* lane);
  // A reading thread: a free piece to fill; false once stopped.
  bool Acquire(Lane* lane);
  // A reading thread: hands the piece being filled on.
  void Deliver(Lane* lane);
  // The calling thread: the lane's next filled piece, the one before it
  // freed.
  Piece& NextPiece(Lane* lane);

  static constexpr std::size_t kPieces = 16;  // per lane
  static constexpr std::size_t kPieceBytes = std::size_t{64} << 10;
  // A piece is handed on after this many words and lines as well, however
  // few of its words are distinct, so that the calling thread answers
  // Pause and Cancel within a long file of few words (or none).
  static constexpr std::size_t kStretchWork = std::size_t{1} << 16;
  static constexpr std::size_t kInitialSlots = 1024;

  CommonWords* common_words_;
  CommonWords second_common_words_;
  bool exclude_special_letters_;
  std::vector<FileToRead> files_;
  FindFileDetails find_details_;
  std::atomic<bool> stop_{false};
  std::vector<std::unique_ptr<Lane>> lanes_;

  // The calling thread's own.
  std::size_t next_file_ = 0;  // the file HandOnFile hands on next
  bool inside_file_ = false;  // the last piece taken did not end its file
  Lane* inside_lane_ = nullptr;
  bool lexicon_full_ = false;
};

}  // namespace orvane
