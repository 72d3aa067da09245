#include "engine/search/store_index_reader.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace orvane {

StoreIndexReader::StoreIndexReader(std::unique_ptr<StoreReader> store)
    : store_(std::move(store)) {}

void StoreIndexReader::Damaged(const Status& damage) const {
  if (!damage_.ok()) return;
  damage_ = damage;
  // The store is derived from the index file: a damaged one goes, so
  // that the next search makes it again rather than finding it again.
  std::error_code ec;
  std::filesystem::remove(store_->path(), ec);
}

std::uint32_t StoreIndexReader::file_count() const {
  return store_->file_count();
}

IndexedFile StoreIndexReader::File(std::uint32_t file_index) const {
  IndexedFile file;
  Result<StoreFileEntry> entry = store_->File(file_index);
  if (!entry.ok()) {
    Damaged(entry.status());
    return file;
  }
  file.relative_path = entry->path;
  file.has_details = !entry->path_only;
  if (file.has_details) {
    file.size = static_cast<std::int64_t>(entry->size);
    file.modified_ns = entry->mtime_seconds * 1'000'000'000 +
                       static_cast<std::int64_t>(entry->mtime_nanoseconds);
    file.title = entry->title;
    file.first_text = entry->first_text;
    file.description = entry->description;
  }
  return file;
}

std::uint32_t StoreIndexReader::word_count() const {
  return static_cast<std::uint32_t>(store_->word_count());
}

bool StoreIndexReader::StandAt(std::uint32_t position) const {
  if (at_ && at_->Valid()) {
    // Within the cursor's block, or the word just after it: a walk over a
    // range of positions decodes each block once.
    const std::uint32_t here = at_->position();
    if (position == here) return true;
    if (position == here + 1) {
      at_->Next();
      if (at_->Valid() && at_->position() == position) return true;
    }
  }
  at_.emplace(store_->At(position));
  if (!at_->status().ok()) Damaged(at_->status());
  return at_->Valid();
}

std::string_view StoreIndexReader::WordAt(std::uint32_t position) const {
  return StandAt(position) ? at_->word() : std::string_view();
}

std::int32_t StoreIndexReader::WordNumberAt(std::uint32_t position) const {
  return StandAt(position) ? at_->word_number() : 0;
}

std::optional<std::int32_t> StoreIndexReader::FindWord(
    std::string_view word) const {
  Result<std::int32_t> number = store_->FindWord(word);
  if (!number.ok()) Damaged(number.status());
  if (!number.ok() || *number == StoreReader::kNotInLexicon) {
    return std::nullopt;
  }
  return *number;
}

WordRange StoreIndexReader::StemRange(std::string_view stem) const {
  LexiconCursor cursor = store_->WordsWithStem(stem);
  WordRange range;
  if (!cursor.Valid()) {
    if (!cursor.status().ok()) Damaged(cursor.status());
    return range;
  }
  range.first = cursor.position();
  range.last = range.first;
  while (cursor.Valid()) {
    range.last = cursor.position() + 1;
    cursor.Next();
  }
  if (!cursor.status().ok()) Damaged(cursor.status());
  return range;
}

Status StoreIndexReader::ReadPostings(std::int32_t word_number,
                                      Postings* postings) {
  postings->clear();
  if (damage_.ok() && word_number >= 1 && word_number <= store_->word_count()) {
    PostingsIterator it = store_->Postings(word_number);
    postings->file_indexes.reserve(it.count());
    postings->scores.reserve(it.count());
    for (; it.Valid(); it.Next()) {
      postings->file_indexes.push_back(it.file_index());
      postings->scores.push_back(it.score());
    }
    if (!it.status().ok()) Damaged(it.status());
  }
  if (damage_.ok()) return Status::Ok();
  postings->clear();
  return Status::Failed("Error when reading the store file " + store_->path() +
                        ".\r\n" + damage_.message() +
                        "\r\nIt will be created again at the next search.");
}

}  // namespace orvane
