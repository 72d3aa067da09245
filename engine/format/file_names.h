// The names of a project's files in its output folder: the index file
// NAME_index.tavo, the data file NAME_data.tavo beside it, and the names
// they are written under until complete. Every name ends in ".tavo", an
// extension that the file rules keep out of any index.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

// The ending that every index file's name has, and its data file's.
inline constexpr std::string_view kIndexFileEnding = "_index.tavo";
inline constexpr std::string_view kDataFileEnding = "_data.tavo";

// The files of a project in the output folder (in folder form).
std::string IndexFilePath(std::string_view output_folder,
                          std::string_view project_name);
std::string DataFilePath(std::string_view output_folder,
                         std::string_view project_name);

// The data file of an index file: the text before the first "_index.tavo",
// then "_data.tavo". Empty when the path holds no "_index.tavo".
std::string DataFilePathFor(std::string_view index_path);

// The compression's temporary file: the index path without its last three
// characters, followed by "tavoc" (a_index.ttavoc).
std::string CompressionWorkPath(std::string_view index_path);

// The name a file is written under by an indexing run until it is
// complete: its name without ".tavo", then ".part.tavo"
// (a_index.part.tavo), so that the extension rule keeps it out of any
// index.
std::string PartialFilePath(std::string_view final_path);

// The temporary name under which the Search Module rebuilds a data file.
std::string DataFileWorkPath(const std::string& data_path);

}  // namespace orvane
