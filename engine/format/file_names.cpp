#include "engine/format/file_names.h"

#include <string>

namespace orvane {

std::string IndexFilePath(std::string_view output_folder,
                          std::string_view project_name) {
  return std::string(output_folder) + std::string(project_name) +
         std::string(kIndexFileEnding);
}

std::string DataFilePath(std::string_view output_folder,
                         std::string_view project_name) {
  return std::string(output_folder) + std::string(project_name) +
         std::string(kDataFileEnding);
}

std::string StoreFilePath(std::string_view output_folder,
                          std::string_view project_name) {
  return std::string(output_folder) + std::string(project_name) +
         std::string(kStoreFileEnding);
}

namespace {

// The file beside an index file whose name ends in ending instead.
std::string BesideIndexFile(std::string_view index_path,
                            std::string_view ending) {
  std::size_t at = index_path.find(kIndexFileEnding);
  if (at == std::string_view::npos) return std::string();
  return std::string(index_path.substr(0, at)) + std::string(ending);
}

}  // namespace

std::string DataFilePathFor(std::string_view index_path) {
  return BesideIndexFile(index_path, kDataFileEnding);
}

std::string TextFilePathFor(std::string_view index_path) {
  return BesideIndexFile(index_path, kTextFileEnding);
}

std::string StoreFilePathFor(std::string_view index_path) {
  return BesideIndexFile(index_path, kStoreFileEnding);
}

std::string IndexSettingsPathFor(std::string_view index_path) {
  std::size_t at = index_path.find(kIndexFileEnding);
  if (at == std::string_view::npos) return std::string();
  return std::string(index_path.substr(0, at)) +
         std::string(kIndexSettingsEnding);
}

std::string CompressionWorkPath(std::string_view index_path) {
  std::string_view stem =
      index_path.substr(0, index_path.size() >= 3 ? index_path.size() - 3 : 0);
  return std::string(stem) + "tavoc";
}

std::string PartialFilePath(std::string_view final_path,
                            std::string_view run_tag) {
  constexpr std::string_view kExtension = ".tavo";
  std::string_view stem = final_path;
  if (stem.size() >= kExtension.size() &&
      stem.substr(stem.size() - kExtension.size()) == kExtension) {
    stem.remove_suffix(kExtension.size());
  }
  std::string path(stem);
  if (!run_tag.empty()) {
    path += '.';
    path += run_tag;
  }
  return path + ".part.tavo";
}

std::optional<PartialFileName> ParsePartialFileName(std::string_view name,
                                                    std::string_view project) {
  if (name.size() <= project.size() + 1 ||
      name.substr(0, project.size()) != project || name[project.size()] != '_') {
    return std::nullopt;
  }
  std::string_view rest = name.substr(project.size() + 1);
  for (std::string_view ending : {".part.tavo", ".part.ttavoc"}) {
    if (rest.size() <= ending.size() ||
        rest.substr(rest.size() - ending.size()) != ending) {
      continue;
    }
    rest.remove_suffix(ending.size());
    std::size_t dot = rest.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == rest.size()) {
      return std::nullopt;
    }
    std::string_view what = rest.substr(0, dot);
    std::string_view tag = rest.substr(dot + 1);
    for (char c : what) {
      if (c < 'a' || c > 'z') return std::nullopt;
    }
    for (char c : tag) {
      bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
      if (!hex && c != '-') return std::nullopt;
    }
    return PartialFileName{std::string(what), std::string(tag)};
  }
  return std::nullopt;
}

std::string DataFileWorkPath(const std::string& data_path) {
  return data_path + ".part";
}

std::string StoreFileWorkPath(const std::string& store_path, long pid) {
  return PartialFilePath(store_path, "search-" + std::to_string(pid));
}

}  // namespace orvane
