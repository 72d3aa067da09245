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

std::string CompressionWorkPath(std::string_view index_path) {
  std::string_view stem =
      index_path.substr(0, index_path.size() >= 3 ? index_path.size() - 3 : 0);
  return std::string(stem) + "tavoc";
}

std::string PartialFilePath(std::string_view final_path) {
  constexpr std::string_view kExtension = ".tavo";
  std::string_view stem = final_path;
  if (stem.size() >= kExtension.size() &&
      stem.substr(stem.size() - kExtension.size()) == kExtension) {
    stem.remove_suffix(kExtension.size());
  }
  return std::string(stem) + ".part.tavo";
}

std::string DataFileWorkPath(const std::string& data_path) {
  return data_path + ".part";
}

}  // namespace orvane
