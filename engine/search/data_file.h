// The data file beside an index file: for every word number r one row of
// one byte per indexed file, at byte (r - 1) × files, then a 32-bit
// little-endian trailer holding the length of the index's plain text. The
// Search Module reuses the file while it matches its index and rebuilds it
// from the index's count lines otherwise; rows of zeros are left as holes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/status.h"
#include "engine/search/index_text_lines.h"
#include "engine/search/classic_index.h"

namespace orvane {

enum class DataFileState {
  kCurrent,  // reuse it as it is
  kMissing,  // none there (an empty one has just been deleted)
  kStale,    // there, but not this index's
};

// A data file is current when its trailer equals text_length, its size is
// exactly rows × files + 4 bytes and it is not older than the index file.
// An empty data file is deleted.
DataFileState CheckDataFile(const std::string& data_path,
                            const std::string& index_path, std::int64_t rows,
                            std::int32_t files, std::int64_t text_length);

// The bytes a new data file for the index will occupy on disk: the 4096-byte
// blocks that hold a score above 0 or the trailer. Reads the count lines
// from lines, which must stand just before the first of them. Fails (the
// message is display text) when a count line is damaged or missing, or the
// text cannot be decompressed (then lines.error() is negative).
Result<std::int64_t> CountDataFileBytes(IndexTextLines& lines,
                                        const ClassicIndex& index);

// Reads the count line of word_number. Fails when there is none or the
// text cannot be decompressed (then lines.error() is negative).
Status NextCountLine(IndexTextLines& lines, std::int32_t word_number,
                     std::string_view* line);
// The damage WalkCountLine found, as a status.
Status CountLineStatus(std::string damage);

// Writes the data file of the index from its count lines (lines standing
// just before the first of them) under a temporary name beside data_path
// and renames it into place once it is complete; an old data file is
// deleted first. Returns the failure with its description
// (when the text cannot be decompressed, lines.error() is negative).
// Nothing is left behind on failure.
Status CreateDataFile(IndexTextLines& lines, const ClassicIndex& index,
                      const std::string& data_path);

// Reads the rows of several words from a data file.
class DataFileReader {
 public:
  DataFileReader() = default;
  ~DataFileReader();
  DataFileReader(const DataFileReader&) = delete;
  DataFileReader& operator=(const DataFileReader&) = delete;

  // False when the file cannot be opened.
  bool Open(const std::string& data_path);
  // Reads the files bytes of the row of word_number (1-based) into *row.
  // False when the file is too short or cannot be read.
  bool ReadRow(std::int32_t word_number, std::uint32_t files,
               std::vector<std::uint8_t>* row);

 private:
  int fd_ = -1;
};

}  // namespace orvane
