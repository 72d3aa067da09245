#include "engine/search/file_changes.h"

#include <unordered_set>

namespace orvane {

namespace {

// The folder part of a path without its last "/" ("" for a bare name).
std::string_view FolderOf(std::string_view path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view()
                                         : path.substr(0, slash);
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

bool ChangedSinceIndexed(const IndexedFile& kept,
                         const std::optional<FileFacts>& now,
                         std::optional<std::int64_t> index_modified_ns) {
  if (!now) return true;
  if (kept.has_details) {
    return now->size != kept.size || now->modified_ns != kept.modified_ns;
  }
  return index_modified_ns && now->modified_ns > *index_modified_ns;
}

void FoundFileChanges::Start(const std::string& index_file) {
  index_modified_ns = ModifiedNs(index_file);
  index_folder = WithoutTrailingSlashes(std::string(FolderOf(index_file)));
  changed.clear();
  num_changed = 0;
  num_vanished = 0;
  newer_folders.clear();
}

bool FoundFileChanges::Record(std::size_t listing_index,
                              std::optional<std::uint32_t> file_index,
                              const IndexStoreReader& store,
                              const std::optional<FileFacts>& now) {
  if (changed.size() <= listing_index) changed.resize(listing_index + 1);
  bool is_changed = false;
  if (file_index && *file_index < store.file_count()) {
    is_changed =
        ChangedSinceIndexed(store.File(*file_index), now, index_modified_ns);
  }
  if (is_changed && !changed[listing_index]) ++num_changed;
  if (!is_changed && changed[listing_index]) --num_changed;
  changed[listing_index] = is_changed;
  return is_changed;
}

void FoundFileChanges::FindNewerFolders(
    const std::string& top_folder, const std::vector<std::string>& found_paths) {
  if (!index_modified_ns) return;
  std::unordered_set<std::string_view> seen;
  auto look_at = [&](std::string_view relative) {
    if (!seen.insert(relative).second) return;
    std::string folder =
        WithoutTrailingSlashes(top_folder + std::string(relative));
    if (folder == index_folder) return;
    std::optional<std::int64_t> modified = ModifiedNs(folder);
    if (modified && *modified > *index_modified_ns) {
      newer_folders.emplace_back(relative);
    }
  };
  look_at(std::string_view());
  for (const std::string& path : found_paths) look_at(FolderOf(path));
}

std::string ChangeCountsText(const FoundFileChanges& changes, bool single) {
  std::string text;
  if (changes.num_changed > 0) {
    text += single ? "; it changed after the index was made"
                   : "; " + std::to_string(changes.num_changed) +
                         " of the files found changed after the index was "
                         "made";
  }
  if (changes.num_vanished > 0 && !single) {
    text += "; " + std::to_string(changes.num_vanished) +
            (changes.num_vanished == 1 ? " matching file no longer exists"
                                       : " matching files no longer exist");
  }
  return text;
}

std::string ChangeNotes(const FoundFileChanges& changes) {
  std::string notes;
  if (changes.num_changed > 0) {
    notes += std::string(kChangedMark.substr(1)) +
             " after a path: the file changed after the index was made; what "
             "is shown of it is what it holds now.\r\n";
  }
  if (changes.num_vanished > 0) {
    notes += std::to_string(changes.num_vanished) +
             (changes.num_vanished == 1
                  ? " matching file no longer exists and is not listed.\r\n"
                  : " matching files no longer exist and are not listed.\r\n");
  }
  const std::size_t folders = changes.newer_folders.size();
  if (folders > 0) {
    const std::string& first = changes.newer_folders.front();
    const std::string name =
        first.empty() ? std::string("the top folder") : "the folder " + first;
    if (folders == 1) {
      notes += "Files new in the indexed folders are not searched, and " +
               name + " changed after the index was made.\r\n";
    } else {
      notes += "Files new in the indexed folders are not searched, and " +
               std::to_string(folders) +
               " folders changed after the index was made (" + name +
               " among them).\r\n";
    }
  }
  return notes;
}

}  // namespace orvane
