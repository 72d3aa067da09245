#include "engine/index/store_file_writer.h"

#include <unistd.h>

#include <utility>

#include "engine/common/pause_points.h"
#include "engine/format/file_names.h"
#include "engine/store/store_fingerprint.h"

namespace orvane {

StoreFileWriter::StoreFileWriter(std::string index_path, std::string data_path,
                                 std::string store_path,
                                 BackgroundDeletion* deletion,
                                 StoreWriterOptions options)
    : classic_(std::move(index_path), data_path, deletion),
      data_path_(std::move(data_path)),
      store_path_(std::move(store_path)),
      deletion_(deletion),
      options_(options) {
  // Without a data file the index text's count lines come from the store's
  // merge of its postings: no matrix of the whole run is kept in memory.
  classic_.TakeCountLinesOneByOne();
}

StoreFileWriter::~StoreFileWriter() = default;

Status StoreFileWriter::Begin(std::uint32_t num_files) {
  status_ = Status::Ok();
  pending_ = false;
  Status status = classic_.Begin(num_files);
  if (!status.ok()) return status;
  store_ = std::make_unique<StoreWriter>(
      store_path_, classic_.PartialPath(store_path_), options_);
  status = store_->Create();
  if (!status.ok()) Discard();
  return status;
}

void StoreFileWriter::AddPending(std::span<const StoreScore> scores) {
  if (!pending_) return;
  pending_ = false;
  if (!status_.ok()) return;
  entry_.path = path_;
  entry_.title = title_;
  entry_.first_text = first_text_;
  entry_.description = description_;
  status_ = store_->AddFile(entry_, scores);
}

void StoreFileWriter::AddFile(const IndexedFile& file) {
  AddPending({});
  classic_.AddFile(file);
  path_.assign(file.relative_path);
  entry_ = StoreFileEntry();
  entry_.path_only = !file.has_details;
  if (file.has_details) {
    entry_.size = static_cast<std::uint64_t>(file.size);
    // Whole seconds rounded down, so that the nanoseconds stay 0 to
    // 999,999,999 for times before 1970 too.
    std::int64_t seconds = file.modified_ns / 1'000'000'000;
    std::int64_t nanoseconds = file.modified_ns % 1'000'000'000;
    if (nanoseconds < 0) {
      nanoseconds += 1'000'000'000;
      --seconds;
    }
    entry_.mtime_seconds = seconds;
    entry_.mtime_nanoseconds = static_cast<std::uint32_t>(nanoseconds);
    title_.assign(file.title);
    first_text_.assign(file.first_text);
    description_.assign(file.description);
  } else {
    title_.clear();
    first_text_.clear();
    description_.clear();
  }
  pending_ = true;
}

void StoreFileWriter::AddFileScores(std::span<const std::uint32_t> word_indexes,
                                    std::span<const std::uint8_t> scores) {
  classic_.AddFileScores(word_indexes, scores);
  scores_.resize(word_indexes.size());
  for (std::size_t i = 0; i < word_indexes.size(); ++i) {
    scores_[i] = StoreScore{word_indexes[i], scores[i]};
  }
  AddPending(scores_);
}

Status StoreFileWriter::KeepDocumentText(std::string_view relative_path,
                                         std::int64_t size,
                                         std::int64_t modified_ns,
                                         const DocumentSourceText& text) {
  if (texts_ == nullptr) {
    // The texts' temporary file bears the run's tag, so that what a killed
    // run left is cleared with its other files.
    texts_ = std::make_unique<DocumentTextGatherer>(classic_.PartialPath(
        TextFilePathFor(classic_.index_path())));
  }
  return texts_->Add(relative_path, DocumentStamp{size, modified_ns}, text);
}

Status StoreFileWriter::WriteLexicon(std::string_view title,
                                     const RunLexicon& lexicon) {
  AddPending({});
  // The index text's lexicon first: its count lines follow while the
  // store's postings are merged, word number 1 first.
  Status status = classic_.WriteLexicon(title, lexicon);
  if (status_.ok()) {
    std::vector<StoreWord> words;
    words.reserve(static_cast<std::size_t>(lexicon.word_count()));
    for (std::int32_t number : lexicon.WordNumbersInOrder()) {
      words.push_back(StoreWord{lexicon.word(number), number});
    }
    StoreWriter::EachWord count_line = nullptr;
    if (data_path_.empty()) {
      count_line = [this, first = true](
                       std::span<const std::uint32_t> files,
                       std::span<const std::uint8_t> scores) mutable {
        // Both files half-written: a point where a kill is tested.
        if (first) PausePoint("merge");
        first = false;
        return classic_.AppendCountLine(files, scores);
      };
    }
    status_ = store_->Finish(title, words, count_line);
  }
  return status;
}

Status StoreFileWriter::FinishWriting() {
  // A failed write of the store (a full disk) is told as the run's write
  // failure, after the index text's own.
  Status status = classic_.FinishWriting();
  // Without a data file the count lines come from the store's merge: a
  // store that failed is why the index text lacks them too.
  if (!status_.ok() && (status.ok() || data_path_.empty())) {
    texts_.reset();
    return status_;
  }
  if (status.ok() && texts_ != nullptr) {
    status_ = store_->AddDocumentTexts(*texts_);
  }
  texts_.reset();  // its file goes
  return status.ok() ? status_ : status;
}

Status StoreFileWriter::CompressIndexFile() {
  return classic_.CompressIndexFile();
}

Status StoreFileWriter::Commit() {
  Result<StoreFingerprint> fingerprint =
      FingerprintOfIndexFile(classic_.index_partial());
  if (!fingerprint.ok()) return fingerprint.status();
  Status status = store_->Commit(*fingerprint);
  if (!status.ok()) return status;
  status = classic_.Commit();
  if (!status.ok()) return status;
  if (data_path_.empty()) {
    // A data file of an earlier run no longer matches the index file; it
    // may take gigabytes.
    const std::string earlier = DataFilePathFor(classic_.index_path());
    if (deletion_ != nullptr) {
      (void)deletion_->Delete(earlier, /*forcibly=*/false);
    } else {
      ::unlink(earlier.c_str());
    }
  }
  return Status::Ok();
}

void StoreFileWriter::Discard() {
  pending_ = false;
  texts_.reset();
  if (store_ != nullptr) store_->Discard();
  classic_.Discard();
}

}  // namespace orvane
