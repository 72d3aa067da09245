#include "engine/index/word_reader.h"

#include <cstring>
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

void WordReader::Start(std::vector<FileToRead> files,
                       FindFileDetails find_details) {
  Stop();
  files_ = std::move(files);
  find_details_ = std::move(find_details);
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
    lane->slots.assign(kInitialSlots, 0);
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
  Lane* lane = lane_;
  if (++lane->stretch_work >= kStretchWork && !HandOnStretch()) return false;
  Piece* piece = lane->filling;
  std::size_t mask = lane->slots.size() - 1;
  std::size_t slot = hash & mask;
  for (std::uint32_t held; (held = lane->slots[slot]) != 0;
       slot = (slot + 1) & mask) {
    const std::uint32_t w = held - 1;
    if (piece->hashes[w] != hash) continue;
    const char* record = piece->records.data() + piece->offsets[w];
    if (static_cast<unsigned char>(record[0]) == word.size() &&
        std::memcmp(record + 1, word.data(), word.size()) == 0) {
      if (piece->counts[w] < 255) ++piece->counts[w];
      return true;
    }
  }
  // A word new to the piece: a full piece is handed on first, and the word
  // begins the next one.
  if (piece->records.size() >= kPieceBytes) {
    reader_->Deliver(lane);
    if (!reader_->Acquire(lane)) return false;  // stopped: no word more
    piece = lane->filling;
    slot = hash & (lane->slots.size() - 1);
  }
  const auto w = static_cast<std::uint32_t>(piece->hashes.size());
  piece->offsets.push_back(static_cast<std::uint32_t>(piece->records.size()));
  piece->records.push_back(static_cast<char>(word.size()));
  piece->records.append(word);
  piece->hashes.push_back(hash);
  piece->counts.push_back(1);
  lane->slots[slot] = w + 1;
  lane->used_slots.push_back(static_cast<std::uint32_t>(slot));
  if (piece->hashes.size() * 2 > lane->slots.size()) GrowTable(lane);
  return true;
}

bool WordReader::Feed::AfterLine() {
  if (reader_->stop_ || lane_->filling == nullptr) return false;
  return ++lane_->stretch_work < kStretchWork || HandOnStretch();
}

bool WordReader::Feed::HandOnStretch() {
  reader_->Deliver(lane_);
  return reader_->Acquire(lane_);
}

void WordReader::GrowTable(Lane* lane) {
  const Piece& piece = *lane->filling;
  lane->slots.assign(lane->slots.size() * 2, 0);
  lane->used_slots.clear();
  const std::size_t mask = lane->slots.size() - 1;
  for (std::uint32_t w = 0; w < piece.hashes.size(); ++w) {
    std::size_t slot = piece.hashes[w] & mask;
    while (lane->slots[slot] != 0) slot = (slot + 1) & mask;
    lane->slots[slot] = w + 1;
    lane->used_slots.push_back(static_cast<std::uint32_t>(slot));
  }
}

bool WordReader::Acquire(Lane* lane) {
  std::unique_lock<std::mutex> lock(lane->mutex);
  lane->changed.wait(lock, [&] { return !lane->free.empty() || stop_; });
  if (stop_) return false;
  lane->filling_index = lane->free.front();
  lane->free.pop_front();
  lock.unlock();
  Piece* piece = &lane->pieces[lane->filling_index];
  piece->records.clear();
  piece->hashes.clear();
  piece->counts.clear();
  piece->offsets.clear();
  piece->file_end = false;
  piece->result = WordExtractor::FileResult::kRead;
  piece->details = FileDetails();
  lane->stretch_work = 0;
  if (lane->slots.size() > kInitialSlots) {
    // A stretch of many words made the table grow; the next one, most
    // likely a small file's, starts small again (the vector keeps its
    // memory).
    lane->slots.assign(kInitialSlots, 0);
  } else {
    for (std::uint32_t slot : lane->used_slots) lane->slots[slot] = 0;
  }
  lane->used_slots.clear();
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
      FileDetails details;
      if (find_details_) details = find_details_(file.path);
      Result<WordExtractor::FileResult> result =
          WordExtractor::FileResult::kRead;
      if (!file.document) {
        extractor.StartFile();
        result = extractor.ExtractFileWords(file.path, file.split_at_lf, &feed);
      }
      if (stop_ || lane->filling == nullptr) break;
      lane->filling->file_end = true;
      lane->filling->result = std::move(result);
      lane->filling->details = std::move(details);
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
    Lexicon* lexicon, ExtractionObserver* observer, FileDetails* details) {
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
    for (std::size_t w = 0; w < words; ++w) {
      const std::size_t length = static_cast<unsigned char>(*at++);
      std::string_view word(at, length);
      at += length;
      if (w + kPrefetchDistance < words) {
        lexicon->Prefetch(hashes[w + kPrefetchDistance]);
      }
      if (w + kEntryPrefetchDistance < words) {
        lexicon->PrefetchEntry(hashes[w + kEntryPrefetchDistance]);
      }
      // Once the lexicon is full the rest of the stretch is dropped, and
      // the file ends with it.
      if (lexicon_full_ ||
          !lexicon->AddWordToLexicon(word, hashes[w], piece.counts[w])) {
        lexicon_full_ = true;
        return WordExtractor::FileResult::kRead;
      }
    }
    const bool go_on = observer->AfterLine();
    if (piece.file_end) {
      if (details != nullptr) *details = std::move(piece.details);
      return piece.result;
    }
    if (!go_on) return WordExtractor::FileResult::kRead;
  }
}

}  // namespace orvane
