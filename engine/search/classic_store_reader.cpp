#include "engine/search/classic_store_reader.h"

#include <algorithm>
#include <cstring>

#include "engine/text/binary_search.h"

namespace orvane {

ClassicStoreReader::ClassicStoreReader(ClassicIndex index,
                                       std::string data_path)
    : index_(std::move(index)), data_path_(std::move(data_path)) {}

std::uint32_t ClassicStoreReader::file_count() const {
  return static_cast<std::uint32_t>(index_.strFileList.size());
}

IndexedFile ClassicStoreReader::File(std::uint32_t file_index) const {
  IndexedFile file;
  file.relative_path = index_.strFileList[file_index];
  return file;
}

std::uint32_t ClassicStoreReader::word_count() const {
  return static_cast<std::uint32_t>(index_.lexicon.size());
}

std::string_view ClassicStoreReader::WordAt(std::uint32_t position) const {
  return index_.Word(position);
}

std::int32_t ClassicStoreReader::WordNumberAt(std::uint32_t position) const {
  return index_.lexicon[position].lngWordNumber;
}

std::optional<std::int32_t> ClassicStoreReader::FindWord(
    std::string_view word) const {
  std::int32_t position = 0;
  bool found = FindInSorted(
      word, index_.lexicon, static_cast<std::int32_t>(index_.lexicon.size()),
      [this](const SearchLexiconEntry& e) {
        return std::string_view(index_.lexicon_words)
            .substr(e.word_offset, e.word_length);
      },
      &position);
  if (!found) return std::nullopt;
  return index_.lexicon[static_cast<std::size_t>(position - 1)].lngWordNumber;
}

WordRange ClassicStoreReader::StemRange(std::string_view stem) const {
  // The lexicon is sorted by character code, so the words that begin with
  // the stem stand together: from the first word not below the stem to the
  // first whose beginning sorts after it.
  const std::uint32_t n = word_count();
  auto first_where = [&](auto&& beyond) {
    std::uint32_t low = 0;
    std::uint32_t high = n;
    while (low < high) {
      std::uint32_t mid = low + (high - low) / 2;
      if (beyond(index_.Word(mid))) {
        high = mid;
      } else {
        low = mid + 1;
      }
    }
    return low;
  };
  WordRange range;
  range.first = first_where([&](std::string_view w) { return !(w < stem); });
  range.last = first_where(
      [&](std::string_view w) { return w.substr(0, stem.size()) > stem; });
  return range;
}

Status ClassicStoreReader::ReadPostings(std::int32_t word_number,
                                        Postings* postings) {
  postings->clear();
  if (word_number < 1 || word_number > index_.lngNumWords) return Status::Ok();
  const std::uint32_t files = file_count();
  if (!opened_) opened_ = data_.Open(data_path_);
  if (!opened_ || !data_.ReadRow(word_number, files, &row_)) {
    return Status::Failed(
        "Error when reading the data file " + data_path_ +
        ".\r\nIt will be created again at the next search.");
  }
  // Most bytes of a row are 0: eight at a time are passed over at once.
  const std::uint8_t* bytes = row_.data();
  std::uint32_t k = 0;
  for (; k + 8 <= files; k += 8) {
    std::uint64_t eight;
    std::memcpy(&eight, bytes + k, sizeof eight);
    if (eight == 0) continue;
    for (std::uint32_t i = k; i < k + 8; ++i) {
      if (bytes[i] != 0) {
        postings->file_indexes.push_back(i);
        postings->scores.push_back(bytes[i]);
      }
    }
  }
  for (; k < files; ++k) {
    if (bytes[k] != 0) {
      postings->file_indexes.push_back(k);
      postings->scores.push_back(bytes[k]);
    }
  }
  return Status::Ok();
}

}  // namespace orvane
