// The store file as the Search Module reads it: a StoreReader over the
// memory-mapped file, handed out through the seam. Nothing is read whole:
// a file's entry, a block of the lexicon or a word's postings is read when
// asked for.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "engine/format/index_store.h"
#include "engine/store/store_reader.h"

namespace orvane {

class StoreIndexReader final : public IndexStoreReader {
 public:
  explicit StoreIndexReader(std::unique_ptr<StoreReader> store);

  const StoreReader& store() const { return *store_; }

  // Damage found where the seam has no status to give (a file's entry, a
  // block of the lexicon) gives an empty answer: a file without path or
  // details, no word. It is kept, and the next ReadPostings fails with it;
  // the store file is removed at once, so that the next load makes it
  // again.
  std::uint32_t file_count() const override;
  IndexedFile File(std::uint32_t file_index) const override;
  std::string_view title() const override { return store_->title(); }
  std::uint32_t word_count() const override;
  // The view stays valid until a word of another block of the lexicon is
  // asked for. A damaged block gives an empty word (number 0).
  std::string_view WordAt(std::uint32_t position) const override;
  std::int32_t WordNumberAt(std::uint32_t position) const override;
  std::optional<std::int32_t> FindWord(std::string_view word) const override;
  WordRange StemRange(std::string_view stem) const override;
  // Failed: the word's list is damaged ("Error when reading the store file
  // ...").
  Status ReadPostings(std::int32_t word_number, Postings* postings) override;

 private:
  // Stands the cached cursor on position; false when it cannot.
  bool StandAt(std::uint32_t position) const;
  // Keeps the first damage found and removes the store file.
  void Damaged(const Status& damage) const;

  std::unique_ptr<StoreReader> store_;
  mutable std::optional<LexiconCursor> at_;
  mutable Status damage_;
};

}  // namespace orvane
