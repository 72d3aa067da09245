#include "engine/index/index_settings.h"

namespace orvane {

void SetDefaults(IndexSettings* settings) { *settings = IndexSettings(); }

bool IncludeWholeTree(IndexSettings* settings, FolderError* error) {
  FolderListing listing;
  if (!ListFolder(settings->txbTopFolder, &listing, error)) return false;
  settings->txbIncludedFolders.clear();
  for (const std::string& name : listing.subfolders) {
    settings->txbIncludedFolders += name + "\r\n";
  }
  settings->chkIncludeSubfoldersOfSubfolders = true;
  return true;
}

bool IsExcludedExtension(std::string_view extension) {
  if (extension.empty()) return false;
  std::size_t from = 0;
  while (true) {
    std::size_t found = kExcludedExtensions.find(extension, from);
    if (found == std::string_view::npos) return false;
    std::size_t end = found + extension.size();
    bool starts_entry = found == 0 || kExcludedExtensions[found - 1] == ' ';
    if (starts_entry && end < kExcludedExtensions.size() &&
        kExcludedExtensions[end] == ' ') {
      return true;
    }
    from = found + 1;
  }
}

}  // namespace orvane
