#include "engine/index/word_reader.h"

#include <stdexcept>

namespace orvane {

namespace {

// How many words ahead the lexicon is asked to fetch its table: enough to
// hide a trip to memory behind the words in between.
constexpr std::size_t kPrefetchDistance = 16;
// And the word's entry, once its slot has arrived.
constexpr std::size_t kEntryPrefetchDistance = 8;

}  // namespace

WordReader::WordReader(CommonWords* common_words, bool exclude_special_letters)
    : common_words_(common_words),
      exclude_special_letters_(exclude_special_letters) {}

WordReader::~WordReader() { Stop(); }

void WordReader::Start(std::vector<FileToRead> files) {
  Stop();
  files_ = std::move(files);
  pieces_.assign(kPieces, Piece());
  free_.clear();
  filled_.clear();
  for (std::size_t i = 0; i < kPieces; ++i) free_.push_back(i);
  finished_ = false;
  failure_ = nullptr;
  filling_ = nullptr;
  holding_ = false;
  inside_file_ = false;
  lexicon_full_ = false;
  stop_ = false;
  thread_ = std::thread(&WordReader::Run, this);
}

void WordReader::Stop() {
  stop_ = true;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

bool WordReader::Feed::TakeWord(std::string_view word, std::uint32_t hash) {
  Piece* piece = reader_->filling_;
  if (piece->records.size() >= kPieceBytes) {
    reader_->Deliver();
    if (!reader_->Acquire()) return false;  // stopped: no word more
    piece = reader_->filling_;
  }
  piece->records.push_back(static_cast<char>(word.size()));
  piece->records.append(word);
  piece->hashes.push_back(hash);
  return true;
}

bool WordReader::Feed::AfterLine() {
  if (reader_->stop_ || reader_->filling_ == nullptr) return false;
  // A file of empty lines fills pieces with line ends alone.
  if (reader_->filling_->records.size() >= kPieceBytes) {
    reader_->Deliver();
    if (!reader_->Acquire()) return false;
  }
  reader_->filling_->records.push_back('\0');
  return true;
}

bool WordReader::Acquire() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !free_.empty() || stop_; });
  if (stop_) return false;
  filling_index_ = free_.front();
  free_.pop_front();
  filling_ = &pieces_[filling_index_];
  filling_->records.clear();
  filling_->hashes.clear();
  filling_->file_end = false;
  filling_->result = WordExtractor::FileResult::kRead;
  filling_->error.clear();
  return true;
}

void WordReader::Deliver() {
  std::lock_guard<std::mutex> lock(mutex_);
  filled_.push_back(filling_index_);
  filling_ = nullptr;
  changed_.notify_all();
}

void WordReader::Run() {
  try {
    Feed feed(this);
    WordExtractor extractor(common_words_, &feed);
    extractor.StartWordExtraction();
    extractor.set_exclude_special_letters(exclude_special_letters_);
    for (const FileToRead& file : files_) {
      if (stop_ || !Acquire()) break;
      extractor.StartFile();
      std::string error;
      WordExtractor::FileResult result = extractor.ExtractFileWords(
          file.path, file.split_at_lf, &feed, &error);
      if (stop_ || filling_ == nullptr) break;
      filling_->file_end = true;
      filling_->result = result;
      filling_->error = std::move(error);
      Deliver();
    }
  } catch (...) {
    std::lock_guard<std::mutex> lock(mutex_);
    failure_ = std::current_exception();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  finished_ = true;
  changed_.notify_all();
}

WordReader::Piece& WordReader::NextPiece() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (holding_) {
    free_.push_back(held_index_);
    holding_ = false;
    changed_.notify_all();
  }
  changed_.wait(lock, [this] { return !filled_.empty() || finished_; });
  if (filled_.empty()) {
    if (failure_) std::rethrow_exception(failure_);
    throw std::logic_error("The word reader was asked for more files than it read.");
  }
  held_index_ = filled_.front();
  filled_.pop_front();
  holding_ = true;
  return pieces_[held_index_];
}

WordExtractor::FileResult WordReader::HandOnFile(Lexicon* lexicon,
                                                 ExtractionObserver* observer,
                                                 std::string* error) {
  // What is left of a file that an earlier call ended early is passed over.
  while (inside_file_) inside_file_ = !NextPiece().file_end;
  while (true) {
    Piece& piece = NextPiece();
    inside_file_ = !piece.file_end;
    const std::vector<std::uint32_t>& hashes = piece.hashes;
    const std::size_t words = hashes.size();
    for (std::size_t w = 0; w < words && w < kPrefetchDistance; ++w) {
      lexicon->Prefetch(hashes[w]);
    }
    const char* at = piece.records.data();
    const char* end = at + piece.records.size();
    std::size_t w = 0;
    while (at < end) {
      std::size_t length = static_cast<unsigned char>(*at++);
      if (length == 0) {
        if (!observer->AfterLine() || lexicon_full_) {
          return WordExtractor::FileResult::kRead;
        }
        continue;
      }
      std::string_view word(at, length);
      at += length;
      if (w + kPrefetchDistance < words) {
        lexicon->Prefetch(hashes[w + kPrefetchDistance]);
      }
      if (w + kEntryPrefetchDistance < words) {
        lexicon->PrefetchEntry(hashes[w + kEntryPrefetchDistance]);
      }
      // Once the lexicon is full the rest of the line is dropped, and the
      // file ends with the line.
      if (!lexicon_full_ && !lexicon->AddWordToLexicon(word, hashes[w])) {
        lexicon_full_ = true;
      }
      ++w;
    }
    if (piece.file_end) {
      if (piece.result == WordExtractor::FileResult::kFailed) {
        *error = piece.error;
      }
      return piece.result;
    }
  }
}

}  // namespace orvane
