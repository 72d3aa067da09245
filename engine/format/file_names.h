// The names of a project's files in its output folder: the index file
// NAME_index.tavo, the data file NAME_data.tavo and the store file
// NAME_store.tavo beside it, and the names
// they are written under until complete. Every name ends in ".tavo", an
// extension that the file rules keep out of any index.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// The ending that every index file's name has, and its data file's.
inline constexpr std::string_view kIndexFileEnding = "_index.tavo";
inline constexpr std::string_view kDataFileEnding = "_data.tavo";
inline constexpr std::string_view kStoreFileEnding = "_store.tavo";

// The files of a project in the output folder (in folder form).
std::string IndexFilePath(std::string_view output_folder,
                          std::string_view project_name);
std::string DataFilePath(std::string_view output_folder,
                         std::string_view project_name);

std::string StoreFilePath(std::string_view output_folder,
                          std::string_view project_name);

// NAME_text.tavo: where earlier versions kept the documents' texts of an
// index (the store file holds them now; a run removes it as a leftover).
// A run still gathers the texts under this name's temporary name
// (PartialFilePath) until its store takes them.
// The text before the first "_index.tavo", then "_text.tavo"; empty when
// the path holds no "_index.tavo".
inline constexpr std::string_view kTextFileEnding = "_text.tavo";
std::string TextFilePathFor(std::string_view index_path);

// The data file of an index file: the text before the first "_index.tavo",
// then "_data.tavo". Empty when the path holds no "_index.tavo".
std::string DataFilePathFor(std::string_view index_path);
// The same for the store file: "_store.tavo".
std::string StoreFilePathFor(std::string_view index_path);

// The settings an index was made with, kept beside its index file in the
// Index Module's settings-file format: the text before the first
// "_index.tavo", then "_settings.usri". Empty when the path holds no
// "_index.tavo".
inline constexpr std::string_view kIndexSettingsEnding = "_settings.usri";
std::string IndexSettingsPathFor(std::string_view index_path);

// The compression's temporary file: the index path without its last three
// characters, followed by "tavoc" (a_index.ttavoc).
std::string CompressionWorkPath(std::string_view index_path);

// The name a file is written under by an indexing run until it is
// complete: its name without ".tavo", then ".", the run's tag and
// ".part.tavo" (a_index.4711-0c9e5d2a.part.tavo), so that the extension
// rule keeps it out of any index and no two runs share a name. With an
// empty tag: the name without a tag (a_index.part.tavo), as runs of
// earlier versions wrote it.
std::string PartialFilePath(std::string_view final_path,
                            std::string_view run_tag);

// A run's temporary file of the project, told by its name (without
// folder): NAME_WHAT.TAG.part.tavo (WHAT lower-case letters), or
// NAME_WHAT.TAG.part.ttavoc, the compression's work file of the index
// text. Nothing for any other name.
struct PartialFileName {
  std::string what;  // "index", "data", "run" ...
  std::string tag;
};
std::optional<PartialFileName> ParsePartialFileName(std::string_view name,
                                                    std::string_view project);

// The temporary name under which the Search Module rebuilds a data file.
std::string DataFileWorkPath(const std::string& data_path);
// The temporary name under which the Search Module of process pid rebuilds
// a store file: a run's temporary name with the tag "search-PID", so that
// two programs rebuilding at once do not share it.
std::string StoreFileWorkPath(const std::string& store_path, long pid);

}  // namespace orvane
