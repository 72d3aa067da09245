// The top folder each index was made from. The index file does not hold
// it, so the Index Module notes it after every index it makes, and the
// Search Module offers it when that index is opened, and opens its index
// file dialog in the folder of the index made last.
//
// The notes are a file of delimited records (index_folders.txt in the
// application-data folder): one line an index, its index file and its top
// folder, the latest first, at most kMaxIndexFolders lines. A line that
// cannot be read is passed over; the file is written whole under its name
// only once it is complete.
#pragma once

#include <cstddef>
#include <string>

#include "engine/common/status.h"

namespace orvane {

inline constexpr std::size_t kMaxIndexFolders = 100;

// index_folders.txt in the application-data folder.
std::string IndexFoldersPath();

// Notes in notes_file that index_file was made from top_folder; a note of
// the same index before goes. A path that a record cannot hold (with a
// double quote or a line break) is not noted.
Status NoteIndexFolder(const std::string& notes_file,
                       const std::string& index_file,
                       const std::string& top_folder);

// The top folder index_file was last made from, or empty.
std::string NotedTopFolder(const std::string& notes_file,
                           const std::string& index_file);

// The index file made last, or empty.
std::string LatestNotedIndex(const std::string& notes_file);

}  // namespace orvane
