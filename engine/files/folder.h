// Folder services: testing, counting and walking folders without reading
// file contents, and the per-user application-data folder. Paths use "/";
// a folder path in folder form ends in exactly one "/". Every walk lists
// names in byte order, files before subfolders, and skips symbolic links
// and anything that is not a regular file or folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvane {

// True when the path names a folder that can be opened.
bool FolderExists(const std::string& folder);

// The per-user application-data folder: $XDG_DATA_HOME, else
// $HOME/.local/share; empty when neither is set. The special-folder number
// of the original platform (26) is the only one asked for.
std::string GetSpecialFolderPath(int special_folder_number);

// The fallback base folder when there is no application-data folder: $HOME,
// or empty.
std::string FirstFixedDrive();

// base / subfolder / file_name, creating base / subfolder (one level) when it
// does not exist. The base is GetSpecialFolderPath(26), else
// FirstFixedDrive().
std::string GetAppDataFilePath(std::string_view file_name,
                               std::string_view subfolder_name);

// The name of the application-data subfolder of the program's files (UI
// text 310).
inline constexpr std::string_view kAppDataSubfolder = "Orvane Systems";

}  // namespace orvane
