// What a store keeps of an indexed file beside its path: its stamp as the
// run found it, and the texts that the results box shows for it, read as
// the search reads them, so that a search that finds the file unchanged
// shows them without reading it.
#pragma once

#include <functional>
#include <string>

#include "engine/files/file_stamp.h"
#include "engine/format/index_store.h"

namespace orvane {

struct FileDetails {
  bool known = false;  // false: the file could not be stat'ed
  FileStamp stamp;
  std::string title, first_text, description;

  // The entry of the store's file table, its path still to be set; it
  // refers to the strings above.
  IndexedFile Entry() const;
};

// Finds the details of the file at a path; called on reading threads.
using FindFileDetails = std::function<FileDetails(const std::string& path)>;

}  // namespace orvane
