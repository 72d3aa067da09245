#include "engine/index/matrix_writer.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "engine/format/sparse_block_writer.h"

namespace orvane {

namespace {

// Bands pay when a row spans at least this many blocks: most of its blocks
// then lie within it.
constexpr std::uint64_t kMinBlocksPerRow = 4;

}  // namespace

MatrixWriter::MatrixWriter(BufferedFile* file, std::uint32_t num_files,
                           std::size_t block_size)
    : file_(file),
      num_files_(static_cast<std::uint64_t>(num_files)),
      block_size_(block_size),
      writes_bands_(num_files_ >= kMinBlocksPerRow * block_size) {}

MatrixWriter::~MatrixWriter() { Abandon(); }

void MatrixWriter::AddBand(ScoreCells cells, std::uint32_t files_done) {
  Job job;
  job.band = std::move(cells);
  job.files_done = files_done;
  Post(std::move(job));
}

void MatrixWriter::Finish(const ScoreRows* rows) {
  Job job;
  job.final = true;
  job.rows = rows;
  Post(std::move(job));
}

void MatrixWriter::Post(Job job) {
  bool start = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(std::move(job));
    changed_.notify_all();
    start = !thread_.joinable() && !failed_to_start_;
  }
  if (start) {
    try {
      thread_ = std::thread(&MatrixWriter::Run, this);
      return;
    } catch (const std::system_error&) {
      // No thread to be had: the jobs are done here, as they come.
      failed_to_start_ = true;
    }
  }
  if (failed_to_start_) Run();
}

Status MatrixWriter::Wait() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
  return status_;
}

void MatrixWriter::Abandon() {
  abandon_ = true;
  (void)Wait();
}

void MatrixWriter::Run() {
  while (true) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] {
        return !jobs_.empty() || closing_ || abandon_ || failed_to_start_;
      });
      if (abandon_ || jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    // After a failure nothing more is written.
    if (status_.ok()) {
      try {
        status_ = job.final ? WriteRest(*job.rows)
                            : WriteBand(job.band, job.files_done);
      } catch (const std::bad_alloc&) {
        status_ = Status::Failed("There is not enough memory to write " +
                                 file_->path() + ".");
      }
    }
    if (job.final) return;
  }
}

bool MatrixWriter::WrittenByBands(std::uint64_t block,
                                  std::uint32_t files_done) const {
  const std::uint64_t begin = block * block_size_;
  const std::uint64_t row = begin / num_files_;
  const std::uint64_t row_end = (row + 1) * num_files_;
  const std::uint64_t end = begin + block_size_;  // one past the block
  return end <= row_end &&
         end - 1 - row * num_files_ < static_cast<std::uint64_t>(files_done);
}

Status MatrixWriter::WriteBand(const ScoreCells& band, std::uint32_t files_done) {
  // The carried cells and the band's, put in word order: a word's carried
  // cells come from earlier files than its cells of the band, so each word's
  // cells stay in file order.
  const std::size_t carried = carry_.words.size();
  const std::size_t total = carried + band.words.size();
  std::uint32_t words = 0;
  for (std::uint32_t w : carry_.words) words = std::max(words, w + 1);
  for (std::uint32_t w : band.words) words = std::max(words, w + 1);
  bucket_.assign(static_cast<std::size_t>(words) + 1, 0);
  auto word_of = [&](std::size_t k) {
    return k < carried ? carry_.words[k] : band.words[k - carried];
  };
  for (std::size_t k = 0; k < total; ++k) ++bucket_[word_of(k) + 1];
  for (std::size_t w = 1; w <= words; ++w) bucket_[w] += bucket_[w - 1];
  std::vector<std::uint32_t> files(total);
  std::vector<std::uint8_t> scores(total);
  {
    std::vector<std::uint32_t> next(bucket_.begin(), bucket_.end() - 1);
    for (std::size_t k = 0; k < total; ++k) {
      std::uint32_t at = next[word_of(k)]++;
      files[at] = k < carried ? carry_.files[k] : band.files[k - carried];
      scores[at] = k < carried ? carry_.scores[k] : band.scores[k - carried];
    }
  }
  ScoreCells carry;
  SparseBlockWriter run(file_, block_size_);
  const std::uint64_t done = static_cast<std::uint64_t>(files_done);
  for (std::uint32_t w = 0; w < words; ++w) {
    if ((w & 1023) == 0 && abandon_.load(std::memory_order_relaxed)) {
      return Status::Ok();
    }
    const std::uint64_t row = static_cast<std::uint64_t>(w) * num_files_;
    for (std::uint32_t k = bucket_[w]; k < bucket_[w + 1]; ++k) {
      const std::uint64_t offset = row + files[k];
      const std::uint64_t end = (offset / block_size_ + 1) * block_size_;
      if (end - block_size_ < row || end > row + num_files_) {
        continue;  // a block shared with another row: written at the end
      }
      if (end - 1 - row < done) {
        run.Put(offset, scores[k]);
      } else {
        carry.words.push_back(w);
        carry.files.push_back(files[k]);
        carry.scores.push_back(scores[k]);
      }
    }
  }
  carry_ = std::move(carry);
  banded_files_ = files_done;
  return run.Flush();
}

Status MatrixWriter::WriteRest(const ScoreRows& rows) {
  const std::size_t words = rows.row_start.empty() ? 0 : rows.row_start.size() - 1;
  SparseBlockWriter run(file_, block_size_);
  for (std::size_t w = 0; w < words; ++w) {
    if ((w & 1023) == 0 && abandon_.load(std::memory_order_relaxed)) {
      return Status::Ok();
    }
    for (std::uint64_t c = rows.row_start[w]; c < rows.row_start[w + 1]; ++c) {
      const std::uint64_t offset = w * num_files_ + rows.file_indexes[c];
      if (banded_files_ > 0 &&
          WrittenByBands(offset / block_size_, banded_files_)) {
        continue;
      }
      run.Put(offset, rows.scores[c]);
    }
    if (!run.status().ok()) return run.status();
  }
  Status status = run.Flush();
  if (!status.ok()) return status;
  return file_->Resize(std::max<std::uint64_t>(words, 1) * num_files_);
}

}  // namespace orvane
