#include "engine/format/file_names.h"

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

std::string DataFilePathFor(std::string_view index_path) {
  std::size_t at = index_path.find(kIndexFileEnding);
  if (at == std::string_view::npos) return std::string();
  return std::string(index_path.substr(0, at)) + std::string(kDataFileEnding);
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

}  // namespace orvane
