// Loading an index into the Search Module: the file list and the lexicon
// are read into memory straight from the compressed index file, and the
// data file beside it is reused when it belongs to the index and rebuilt
// from the index's count lines otherwise. The count lines are decompressed
// only when the data file has to be rebuilt (or the index file does not
// record its plain length).
#pragma once

#include <cstdint>
#include <string>

#include "engine/search/index_text_lines.h"
#include "engine/search/loaded_index.h"
#include "engine/search/search_ports.h"

namespace orvane {

// Loads the index file index_file into *index: shows every failure through
// the prompter, sets lblSearchableWords and lblTitle[1], and writes the
// progress of a data-file rebuild into the results box. Returns
// index->blnDataFileReady: true when the file list and lexicon are in
// memory and the data file is current. A failed load leaves *index cleared
// and not ready.
bool LoadIndexFile(const std::string& index_file, LoadedIndex* index,
                   SearchPorts& ports, ResultsBox& results);

// What ReadIndexFile found.
struct IndexReadResult {
  // Negative when the index file could not be decompressed (a squeez code),
  // kBuffersUnavailable also when the memory ran out while it was read.
  std::int32_t decompression_code = 0;
  // Otherwise the error text (display text), empty on success.
  std::string error;
  bool ok() const { return decompression_code == 0 && error.empty(); }
};

// Reads the file list and the lexicon (ReadFileList, ReadLexicon), then
// checks the data file index->strDataFile and creates it (CreateDataFile)
// when it is missing or stale, after the free-space check. The insufficient
// space message is shown here; every other failure is returned.
// REQUIRES: index->strDataFile is set.
IndexReadResult ReadIndexFile(const std::string& index_file,
                              LoadedIndex* index, SearchPorts& ports,
                              ResultsBox& results);

// The two readers, each going on where the previous one stopped. They
// return an empty text on success, else the error; when the text cannot be
// decompressed, lines.error() is negative.
std::string ReadFileList(IndexTextLines& lines, LoadedIndex* index);
std::string ReadLexicon(IndexTextLines& lines, LoadedIndex* index);

}  // namespace orvane
