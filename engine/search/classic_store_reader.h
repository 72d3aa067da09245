// The classic pair as the Search Module reads it: the file list, the
// lexicon and the title of the index text in memory (ClassicIndex), and
// each word's scores from its row of the data file, one byte per file,
// handed out as postings: the files whose byte is above 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/format/index_store.h"
#include "engine/search/classic_index.h"
#include "engine/search/data_file.h"

namespace orvane {

class ClassicStoreReader final : public IndexStoreReader {
 public:
  // The index as read from its index text; its scores are read from the
  // data file at data_path, which must be current for it.
  ClassicStoreReader(ClassicIndex index, std::string data_path);

  const ClassicIndex& index() const { return index_; }
  const std::string& data_path() const { return data_path_; }

  std::uint32_t file_count() const override;
  IndexedFile File(std::uint32_t file_index) const override;
  std::string_view title() const override { return index_.title; }
  std::uint32_t word_count() const override;
  std::string_view WordAt(std::uint32_t position) const override;
  std::int32_t WordNumberAt(std::uint32_t position) const override;
  std::optional<std::int32_t> FindWord(std::string_view word) const override;
  WordRange StemRange(std::string_view stem) const override;
  // One positioned read of the word's row. Failed: the data file cannot be
  // opened or is shorter than the row ("Error when reading the data file
  // ...").
  Status ReadPostings(std::int32_t word_number, Postings* postings) override;

 private:
  ClassicIndex index_;
  std::string data_path_;
  DataFileReader data_;
  bool opened_ = false;
  std::vector<std::uint8_t> row_;
};

}  // namespace orvane
