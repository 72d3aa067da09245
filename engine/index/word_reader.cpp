#include "engine/index/word_reader.h"

#include <stdexcept>
#include <system_error>

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
  const std::size_t lanes =
      std::thread::hardware_concurrency() >= 2 && files_.size() >= 2 ? 2 : 1;
  if (!StartLanes(lanes)) {
    // No second thread to be had: one thread reads every file.
    Stop();
    if (!StartLanes(1)) throw std::system_error(std::make_error_code(
        std::errc::resource_unavailable_try_again));
  }
}

bool WordReader::StartLanes(std::size_t count) {
  stop_ = false;
  next_file_ = 0;
  inside_file_ = false;
  inside_lane_ = nullptr;
  lexicon_full_ = false;
  second_common_words_ = *common_words_;
  lanes_.clear();
  for (std::size_t l = 0; l < count; ++l) {
    auto lane = std::make_unique<Lane>();
    lane->first_file = l;
    lane->common_words = l == 0 ? common_words_ : &second_common_words_;
    lane->pieces.assign(kPieces, Piece());
    for (std::size_t i = 0; i < kPieces; ++i) lane->free.push_back(i);
    lanes_.push_back(std::move(lane));
  }
  for (auto& lane : lanes_) {
    try {
      lane->thread = std::thread(&WordReader::Run, this, lane.get());
    } catch (const std::system_error&) {
      return false;
    }
  }
  return true;
}

void WordReader::Stop() {
  stop_ = true;
  for (auto& lane : lanes_) {
    std::lock_guard<std::mutex> lock(lane->mutex);
    lane->changed.notify_all();
  }
  for (auto& lane : lanes_) {
    if (lane->thread.joinable()) lane->thread.join();
  }
}

bool WordReader::Feed::TakeWord(std::string_view word, std::uint32_t hash) {
  Piece* piece = lane_->filling;
  if (piece->records.size() >= kPieceBytes) {
    reader_->Deliver(lane_);
    if (!reader_->Acquire(lane_)) return false;  // stopped: no word more
    piece = lane_->filling;
  }
  piece->records.push_back(static_cast<char>(word.size()));
  piece->records.append(word);
  piece->hashes.push_back(hash);
  return true;
}

bool WordReader::Feed::AfterLine() {
  if (reader_->stop_ || lane_->filling == nullptr) return false;
  // A file of empty lines fills pieces with line ends alone.
  if (lane_->filling->records.size() >= kPieceBytes) {
    reader_->Deliver(lane_);
    if (!reader_->Acquire(lane_)) return false;
  }
  lane_->filling->records.push_back('\0');
  return true;
}

bool WordReader::Acquire(Lane* lane) {
  std::unique_lock<std::mutex> lock(lane->mutex);
  lane->changed.wait(lock, [&] { return !lane->free.empty() || stop_; });
  if (stop_) return false;
  lane->filling_index = lane->free.front();
  lane->free.pop_front();
  Piece* piece = &lane->pieces[lane->filling_index];
  piece->records.clear();
  piece->hashes.clear();
  piece->file_end = false;
  piece->result = WordExtractor::FileResult::kRead;
  lane->filling = piece;
  return true;
}

void WordReader::Deliver(Lane* lane) {
  std::lock_guard<std::mutex> lock(lane->mutex);
  lane->filled.push_back(lane->filling_index);
  lane->filling = nullptr;
  lane->changed.notify_all();
}

void WordReader::Run(Lane* lane) {
  try {
    Feed feed(this, lane);
    WordExtractor extractor(lane->common_words, &feed);
    extractor.StartWordExtraction();
    extractor.set_exclude_special_letters(exclude_special_letters_);
    const std::size_t step = lanes_.size();
    for (std::size_t f = lane->first_file; f < files_.size(); f += step) {
      const FileToRead& file = files_[f];
      if (stop_ || !Acquire(lane)) break;
      Result<WordExtractor::FileResult> result =
          WordExtractor::FileResult::kRead;
      if (!file.document) {
        extractor.StartFile();
        result = extractor.ExtractFileWords(file.path, file.split_at_lf, &feed);
      }
      if (stop_ || lane->filling == nullptr) break;
      lane->filling->file_end = true;
      lane->filling->result = std::move(result);
      Deliver(lane);
    }
  } catch (...) {
    std::lock_guard<std::mutex> lock(lane->mutex);
    lane->failure = std::current_exception();
  }
  std::lock_guard<std::mutex> lock(lane->mutex);
  lane->finished = true;
  lane->changed.notify_all();
}

WordReader::Piece& WordReader::NextPiece(Lane* lane) {
  std::unique_lock<std::mutex> lock(lane->mutex);
  if (lane->holding) {
    lane->free.push_back(lane->held_index);
    lane->holding = false;
    lane->changed.notify_all();
  }
  lane->changed.wait(lock, [&] { return !lane->filled.empty() || lane->finished; });
  if (lane->filled.empty()) {
    if (lane->failure) std::rethrow_exception(lane->failure);
    throw std::logic_error("The word reader was asked for more files than it read.");
  }
  lane->held_index = lane->filled.front();
  lane->filled.pop_front();
  lane->holding = true;
  return lane->pieces[lane->held_index];
}

Result<WordExtractor::FileResult> WordReader::HandOnFile(
    Lexicon* lexicon, ExtractionObserver* observer) {
  // What is left of a file that an earlier call ended early is passed over.
  while (inside_file_) inside_file_ = !NextPiece(inside_lane_).file_end;
  Lane* lane = lanes_[next_file_ % lanes_.size()].get();
  ++next_file_;
  while (true) {
    Piece& piece = NextPiece(lane);
    inside_file_ = !piece.file_end;
    inside_lane_ = lane;
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
    if (piece.file_end) return piece.result;
  }
}

}  // namespace orvane
