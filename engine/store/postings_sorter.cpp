#include "engine/store/postings_sorter.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

#include "engine/store/store_coding.h"

namespace orvane::store {

namespace {

// Read buffers of the merge, one a run: the budget shared out, within
// these bounds.
constexpr std::size_t kSmallestReadBuffer = 4096;
constexpr std::size_t kLargestReadBuffer = std::size_t{1} << 20;

}  // namespace

// Reads one run of the work file through a buffer. A read that fails
// returns false; status() says why.
class PostingsSorter::RunReader {
 public:
  RunReader(BufferedFile* file, Run run, std::size_t buffer_size)
      : file_(file), next_(run.offset), end_(run.offset + run.length) {
    buffer_.resize(buffer_size);
  }

  bool at_end() const { return at_ == filled_ && next_ == end_; }
  const Status& status() const { return status_; }

  bool Varint(std::uint64_t* value) {
    std::uint64_t result = 0;
    for (unsigned shift = 0; shift < 64; shift += 7) {
      std::uint8_t byte = 0;
      if (!Byte(&byte)) return false;
      result |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) {
        *value = result;
        return true;
      }
    }
    return Damaged();
  }

  bool Byte(std::uint8_t* byte) {
    if (at_ == filled_ && !Refill()) return false;
    *byte = static_cast<std::uint8_t>(buffer_[at_++]);
    return true;
  }

 private:
  bool Refill() {
    if (next_ == end_) return Damaged();
    std::size_t size = static_cast<std::size_t>(
        std::min<std::uint64_t>(buffer_.size(), end_ - next_));
    status_ = file_->ReadAt(next_, buffer_.data(), size);
    if (!status_.ok()) return false;
    next_ += size;
    at_ = 0;
    filled_ = size;
    return true;
  }

  bool Damaged() {
    status_ = Status::Failed(
        "A work file of the store ended early or was changed while the "
        "store was written.");
    return false;
  }

  BufferedFile* file_;
  std::uint64_t next_;
  std::uint64_t end_;
  std::string buffer_;
  std::size_t at_ = 0;
  std::size_t filled_ = 0;
  Status status_;
};

PostingsSorter::PostingsSorter(std::string spill_beside,
                               std::size_t memory_budget)
    : spill_beside_(std::move(spill_beside)), memory_budget_(memory_budget) {}

PostingsSorter::~PostingsSorter() = default;

std::size_t PostingsSorter::BufferBytes() const {
  // Each buffered score takes a word index and a score, and as much again
  // once sorted.
  return words_.size() * 2 * (sizeof(std::uint32_t) + 1) +
         file_starts_.size() * sizeof(std::uint32_t);
}

Status PostingsSorter::AddFile(std::span<const StoreScore> scores) {
  const std::uint32_t file_index = file_count_;
  for (std::size_t i = 0; i < scores.size(); ++i) {
    const StoreScore& s = scores[i];
    std::string problem;
    if (s.score == 0) {
      problem = "a score of 0";
    } else if (s.word_index > kMaxWordIndex) {
      problem = "the word index " + std::to_string(s.word_index) +
                ", beyond the largest word number";
    } else {
      if (s.word_index >= last_file_plus_one_.size()) {
        last_file_plus_one_.resize(s.word_index + std::size_t{1}, 0);
      }
      if (last_file_plus_one_[s.word_index] == file_index + 1) {
        problem = "the word index " + std::to_string(s.word_index) + " twice";
      }
    }
    if (!problem.empty()) {
      // Forget the scores of this file taken so far.
      for (std::size_t j = 0; j < i; ++j) {
        last_file_plus_one_[scores[j].word_index] = 0;
      }
      return Status::Refused("The scores of file number " +
                             std::to_string(file_index + std::uint64_t{1}) +
                             " hold " + problem + ".");
    }
    last_file_plus_one_[s.word_index] = file_index + 1;
  }
  if (words_.capacity() == 0) {
    // The whole budget at once: growing by doubling would overshoot it.
    // Pages that are never written are never made resident.
    const std::size_t entries = std::min<std::size_t>(memory_budget_ / 10, UINT32_MAX);
    words_.reserve(entries);
    scores_.reserve(entries);
  }
  // Positions in the buffer are 32-bit.
  if (words_.size() + scores.size() > UINT32_MAX && !file_starts_.empty()) {
    Status status = Spill();
    if (!status.ok()) return status;
  }
  file_starts_.push_back(static_cast<std::uint32_t>(words_.size()));
  for (const StoreScore& s : scores) {
    word_limit_ = std::max(word_limit_, s.word_index + 1);
    words_.push_back(s.word_index);
    scores_.push_back(s.score);
  }
  ++file_count_;
  posting_count_ += scores.size();
  if (BufferBytes() >= memory_budget_) return Spill();
  return Status::Ok();
}

void PostingsSorter::SortBuffer() {
  // A counting sort by word index: bucket_start_[w] counts, then starts,
  // then (after the placing) ends word w's postings.
  const std::size_t words = word_limit();
  bucket_start_.assign(words + 1, 0);
  for (std::uint32_t w : words_) ++bucket_start_[w + 1];
  for (std::size_t w = 1; w <= words; ++w) bucket_start_[w] += bucket_start_[w - 1];
  sorted_files_.resize(words_.size());
  sorted_scores_.resize(words_.size());
  for (std::size_t k = 0; k < file_starts_.size(); ++k) {
    std::size_t begin = file_starts_[k];
    std::size_t end = k + 1 < file_starts_.size() ? file_starts_[k + 1] : words_.size();
    std::uint32_t file = first_buffered_file_ + static_cast<std::uint32_t>(k);
    for (std::size_t i = begin; i < end; ++i) {
      std::uint64_t to = bucket_start_[words_[i]]++;
      sorted_files_[to] = file;
      sorted_scores_[to] = scores_[i];
    }
  }
  // Now word w's postings are [bucket_start_[w - 1], bucket_start_[w]).
}

Status PostingsSorter::Spill() {
  if (spill_ == nullptr) {
    spill_ = std::make_unique<BufferedFile>();
    Status created = spill_->CreateUnnamed(spill_beside_);
    if (!created.ok()) return created;
  }
  SortBuffer();
  Run run{spill_->appended(), 0};
  std::string bytes;
  std::uint64_t next_word = 0;
  std::uint64_t begin = 0;
  for (std::size_t w = 0; w < word_limit(); ++w) {
    std::uint64_t end = bucket_start_[w];
    if (end == begin) continue;
    PutVarint(&bytes, w - next_word);
    PutVarint(&bytes, end - begin);
    std::int64_t previous = -1;
    for (std::uint64_t i = begin; i < end; ++i) {
      PutVarint(&bytes, static_cast<std::uint64_t>(sorted_files_[i] - previous - 1));
      PutU8(&bytes, sorted_scores_[i]);
      previous = sorted_files_[i];
    }
    next_word = w + 1;
    begin = end;
    if (bytes.size() >= kLargestReadBuffer) {
      spill_->Append(bytes);
      bytes.clear();
    }
  }
  spill_->Append(bytes);
  Status status = spill_->Flush();
  if (!status.ok()) return status;
  run.length = spill_->appended() - run.offset;
  runs_.push_back(run);
  words_.clear();
  scores_.clear();
  file_starts_.clear();
  first_buffered_file_ = file_count_;
  return Status::Ok();
}

Status PostingsSorter::Merge(std::uint32_t word_count, const Emit& emit) {
  if (runs_.empty()) {
    SortBuffer();
    std::uint64_t begin = 0;
    for (std::uint32_t w = 0; w < word_count; ++w) {
      std::uint64_t end = w < word_limit() ? bucket_start_[w] : begin;
      Status status = emit(w, std::span(sorted_files_).subspan(begin, end - begin),
                           std::span(sorted_scores_).subspan(begin, end - begin));
      if (!status.ok()) return status;
      begin = end;
    }
    return Status::Ok();
  }

  if (!file_starts_.empty()) {
    Status status = Spill();
    if (!status.ok()) return status;
  }
  // The buffers are not needed any more.
  std::vector<std::uint32_t>().swap(words_);
  std::vector<std::uint8_t>().swap(scores_);
  std::vector<std::uint32_t>().swap(sorted_files_);
  std::vector<std::uint8_t>().swap(sorted_scores_);
  std::vector<std::uint64_t>().swap(bucket_start_);

  std::size_t buffer_size = std::clamp(memory_budget_ / runs_.size(),
                                       kSmallestReadBuffer, kLargestReadBuffer);
  std::vector<std::unique_ptr<RunReader>> readers;
  // (the word a run is at, the run), smallest first: a word's files come
  // from the runs in run order.
  using At = std::pair<std::uint64_t, std::size_t>;
  std::priority_queue<At, std::vector<At>, std::greater<>> next;
  std::vector<std::uint64_t> next_word(runs_.size(), 0);
  auto advance = [&](std::size_t r) -> Status {
    if (readers[r]->at_end()) return Status::Ok();
    std::uint64_t delta = 0;
    if (!readers[r]->Varint(&delta)) return readers[r]->status();
    std::uint64_t word = next_word[r] + delta;
    next_word[r] = word + 1;
    next.emplace(word, r);
    return Status::Ok();
  };
  for (std::size_t r = 0; r < runs_.size(); ++r) {
    readers.push_back(std::make_unique<RunReader>(spill_.get(), runs_[r], buffer_size));
    Status status = advance(r);
    if (!status.ok()) return status;
  }

  std::vector<std::uint32_t> files;
  std::vector<std::uint8_t> scores;
  for (std::uint32_t w = 0; w < word_count; ++w) {
    files.clear();
    scores.clear();
    while (!next.empty() && next.top().first == w) {
      std::size_t r = next.top().second;
      next.pop();
      RunReader& run = *readers[r];
      std::uint64_t count = 0;
      bool read = run.Varint(&count);
      std::int64_t previous = -1;
      for (std::uint64_t i = 0; read && i < count; ++i) {
        std::uint64_t gap = 0;
        std::uint8_t score = 0;
        read = run.Varint(&gap) && run.Byte(&score);
        previous += static_cast<std::int64_t>(gap) + 1;
        files.push_back(static_cast<std::uint32_t>(previous));
        scores.push_back(score);
      }
      if (!read) return run.status();
      Status status = advance(r);
      if (!status.ok()) return status;
    }
    Status status = emit(w, files, scores);
    if (!status.ok()) return status;
  }
  return Status::Ok();
}

}  // namespace orvane::store
