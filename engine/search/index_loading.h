// Loading an index into the Search Module: the store of the index is made
// ready and handed to the search. For the classic pair, the file list and
// the lexicon are read into memory straight from the compressed index
// file, and the data file beside it is reused when it belongs to the index
// and rebuilt from the index's count lines otherwise. The count lines are
// decompressed only when the data file has to be rebuilt (or the index
// file does not record its plain length).
#pragma once

#include <cstdint>
#include <string>

#include "engine/common/status.h"
#include "engine/format/index_store.h"
#include "engine/search/classic_index.h"
#include "engine/search/index_text_lines.h"
#include "engine/search/loaded_index.h"
#include "engine/search/search_ports.h"

namespace orvane {

// Loads the index file index_file into *index, in a store of the kind
// index->store_kind: shows every failure through the prompter, sets
// lblSearchableWords and lblTitle[1], and writes the progress of a rebuild
// into the results box. Returns index->blnDataFileReady: true when the
// index is loaded and its store current. A failed load leaves *index
// cleared and not ready.
bool LoadIndexFile(const std::string& index_file, LoadedIndex* index,
                   SearchPorts& ports, ResultsBox& results);

// The classic pair: reads the file list and the lexicon (ReadFileList,
// ReadLexicon), then checks the data file index->strDataFile and creates
// it (CreateDataFile) when it is missing or stale, after the free-space
// check, and loads a ClassicStoreReader over both. Every failure is shown
// through the prompter, after *index is cleared, and returned; memory
// running out while the index is read is the allocation error.
// REQUIRES: index->strDataFile is set.
Status ReadIndexFile(const std::string& index_file, LoadedIndex* index,
                     SearchPorts& ports, ResultsBox& results);

// The store file beside the index file: reused when it belongs to the
// index file (its fingerprint), made from the index text when it is
// missing, stale, foreign or damaged ("Now creating store file ..." in the
// results box, after what was wrong with it), made in a temporary folder
// for the session when the index's folder takes none (the user told once),
// and the classic pair read (ReadIndexFile) when no store can be made at
// all. Every failure is shown as ReadIndexFile shows it.
Status ReadIndexStore(const std::string& index_file, LoadedIndex* index,
                      SearchPorts& ports, ResultsBox& results);

// The two readers, each going on where the previous one stopped. They
// return the damage found (display text); when the text cannot be
// decompressed, lines.error() is negative.
// The file list holds at most max_files entries: the classic pair's limit,
// or the store's when the list goes into a store file.
Status ReadFileList(IndexTextLines& lines, ClassicIndex* index,
                    std::uint32_t max_files = kClassicMaxFilesRead);
Status ReadLexicon(IndexTextLines& lines, ClassicIndex* index);

}  // namespace orvane
