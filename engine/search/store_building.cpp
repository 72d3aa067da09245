#include "engine/search/store_building.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/format/count_line.h"
#include "engine/search/data_file.h"
#include "engine/store/store_writer.h"

namespace orvane {

Status BuildStoreFile(IndexTextLines& lines, const ClassicIndex& index,
                      const StoreFingerprint& fingerprint,
                      const std::string& store_path,
                      const std::string& work_path, bool* write_failed) {
  *write_failed = false;
  StoreWriter writer(store_path, work_path);
  // Every failure of the writer's own is a failed write: the index text's
  // damage is found before its postings reach it.
  auto write = [&](Status written) {
    if (!written.ok()) *write_failed = true;
    return written;
  };
  Status status = write(writer.Create());
  if (!status.ok()) return status;
  const auto files = static_cast<std::uint32_t>(index.intNumFiles);
  for (const std::string& path : index.strFileList) {
    StoreFileEntry entry;
    entry.path = path;
    entry.path_only = true;
    status = write(writer.AddFile(entry, {}));
    if (!status.ok()) return status;
  }
  std::vector<std::uint32_t> file_indexes;
  std::vector<std::uint8_t> scores;
  for (std::int32_t r = 1; r <= index.lngNumWords; ++r) {
    std::string_view line;
    status = NextCountLine(lines, r, &line);
    if (!status.ok()) return status;
    file_indexes.clear();
    scores.clear();
    status = CountLineStatus(WalkCountLine(
        line, files, r, [&](std::uint32_t file_index, std::uint8_t score) {
          file_indexes.push_back(file_index);
          scores.push_back(score);
        }));
    if (!status.ok()) return status;
    status = write(writer.AddWordPostings(r, file_indexes, scores));
    if (!status.ok()) return status;
  }
  std::vector<StoreWord> lexicon;
  lexicon.reserve(index.lexicon.size());
  for (std::size_t i = 0; i < index.lexicon.size(); ++i) {
    lexicon.push_back(StoreWord{index.Word(i), index.lexicon[i].lngWordNumber});
  }
  status = write(writer.Finish(index.title, lexicon));
  if (!status.ok()) return status;
  return write(writer.Commit(fingerprint));
}

}  // namespace orvane
