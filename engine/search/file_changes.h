// Which files a search found have changed since the index was made. A
// found file is compared with what the index kept of it, by the one stat
// that the search makes of every found file anyway: its size and
// modification time when the store kept them, otherwise the index file's
// own modification time stands in for every file (a file newer than the
// index changed). Such a file is marked after its path in the results box
// and the reports, and the search's closing line counts the changed files
// and the matching files that no longer exist. Files new in the indexed
// folders are not in the index; the search tells when a folder it looked
// at changed after the index was made.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/format/index_store.h"
#include "engine/text/file_facts.h"

namespace orvane {

// The mark after the path of a found file that changed.
inline constexpr std::string_view kChangedMark = " [changed]";

// Whether a file that the index kept as kept, found now with now, changed
// after the index was made. index_modified_ns is the index file's
// modification time (nothing: unknown, and a file without details then
// counts as unchanged). A file no longer found (no facts) changed.
bool ChangedSinceIndexed(const IndexedFile& kept,
                         const std::optional<FileFacts>& now,
                         std::optional<std::int64_t> index_modified_ns);

// What a search learnt of the changes of the files it found.
struct FoundFileChanges {
  // The index file's modification time when the search started.
  std::optional<std::int64_t> index_modified_ns;
  // The index file's folder: the run writes its own files there, so its
  // time says nothing about files new in it.
  std::string index_folder;
  // Per listing position: whether the found file changed.
  std::vector<bool> changed;
  std::int32_t num_changed = 0;
  // Matching files that no longer exist (they are not listed).
  std::int32_t num_vanished = 0;
  // The folders looked at that changed after the index was made: relative
  // to the top folder ("" is the top folder itself), in listing order.
  std::vector<std::string> newer_folders;

  // Forgets the last search's findings and notes the index file's time.
  void Start(const std::string& index_file);
  // Notes whether the file at listing position listing_index (file_index
  // in the store: file number - 1) changed, found now with now, and
  // returns it. A file the listing did not record (no file_index) counts
  // as unchanged.
  bool Record(std::size_t listing_index,
              std::optional<std::uint32_t> file_index,
              const IndexStoreReader& store,
              const std::optional<FileFacts>& now);
  // Looks at the top folder and the folders of the found files (each
  // once, one stat each; not the index file's own folder) and keeps those
  // changed after the index was made.
  void FindNewerFolders(const std::string& top_folder,
                        const std::vector<std::string>& found_paths);
};

// The closing line's addition for the changes, empty when there are none:
// "; 3 of the files found changed after the index was made; 1 matching
// file no longer exists". single: the single-file search's form ("; it
// changed after the index was made").
std::string ChangeCountsText(const FoundFileChanges& changes, bool single);

// The lines that end the list of found files when something changed, each
// ending in CR LF, empty otherwise: what the mark means, how many matching
// files no longer exist, and which folders changed.
std::string ChangeNotes(const FoundFileChanges& changes);

}  // namespace orvane
