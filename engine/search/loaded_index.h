// The index that the Search Module has loaded: the store through which the
// search, the listing of indexed files and the reports read its files, its
// lexicon and its scores. One index at a time, shared by all of them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "engine/format/index_store.h"

namespace orvane {

struct LoadedIndex {
  // The kind of store a load reads (the search tests run their cases over
  // every kind).
  IndexStoreKind store_kind = IndexStoreKind::kStore;
  // The loaded index; null while none is loaded.
  std::unique_ptr<IndexStoreReader> store;
  // The number of its files; 0 while none is loaded.
  std::int32_t intNumFiles = 0;

  // The data file's full path, and whether the index is loaded and the
  // store it reads is current.
  std::string strDataFile;
  bool blnDataFileReady = false;

  // The store file that could not be written and was kept aside for the
  // session: the user is told once (Clear keeps it).
  std::string store_kept_aside;

  // Takes reader as the loaded index.
  void Use(std::unique_ptr<IndexStoreReader> reader) {
    store = std::move(reader);
    intNumFiles = store != nullptr ? static_cast<std::int32_t>(store->file_count()) : 0;
  }

  // The relative path of the file with that index (file number - 1), path
  // bytes as stored. REQUIRES: an index is loaded; file_index < intNumFiles.
  std::string_view FilePath(std::uint32_t file_index) const {
    return store->File(file_index).relative_path;
  }

  // Forgets the loaded index (the store kind and the data file's path
  // stay).
  void Clear() {
    store.reset();
    intNumFiles = 0;
    blnDataFileReady = false;
  }
};

}  // namespace orvane
