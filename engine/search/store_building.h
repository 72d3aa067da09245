// Making a store file from an index text, for the Search Module: the file
// list and the lexicon as read (ClassicIndex), then the count lines one
// word at a time, each expanded into the word's postings. The index text
// holds only the files' paths, so their entries hold the path alone.
#pragma once

#include <string>

#include "engine/common/status.h"
#include "engine/search/classic_index.h"
#include "engine/search/index_text_lines.h"
#include "engine/store/store_fingerprint.h"

namespace orvane {

// Writes the store of index, whose count lines lines stands just before,
// under work_path and renames it to store_path once complete, flushed.
// Nothing is left under either name on failure. Failed, with the message:
// a count line is damaged or missing (lines.error() negative when the text
// cannot be decompressed), or the store could not be written (then
// *write_failed is set).
Status BuildStoreFile(IndexTextLines& lines, const ClassicIndex& index,
                      const StoreFingerprint& fingerprint,
                      const std::string& store_path,
                      const std::string& work_path, bool* write_failed);

}  // namespace orvane
