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
#include <vector>

#include "engine/common/status.h"

namespace orvane {

class Prompter;

// Error numbers of the folder services, as the callers test them; 0 means
// no error.
inline constexpr std::int32_t kErrorPermissionDenied = 70;
inline constexpr std::int32_t kErrorPathFileAccess = 75;
inline constexpr std::int32_t kErrorPathNotFound = 76;

// Why a folder could not be read.
struct FolderError {
  std::int32_t number = 0;   // one of the error numbers above
  std::string description;   // "Permission denied", "No such file or ..."
};

// The names directly in one folder, each list in byte order. Symbolic links
// and entries that are neither regular files nor folders are left out.
struct FolderListing {
  std::vector<std::string> files;
  std::vector<std::string> subfolders;
};

// Lists the folder. Returns false and fills *error when it cannot be opened
// or read; *listing is then empty.
bool ListFolder(const std::string& folder, FolderListing* listing,
                FolderError* error);

// The number of files directly in the folder whose names match pattern
// (case-insensitive). With *total_size == -1.0 on entry the sizes of the
// matching files are added up into *total_size; otherwise *total_size is
// left alone when the pattern is "*.*", and set to 0 for any other pattern.
// With stop_at_first the count ends at the first match. A folder that
// cannot be read gives the failure, with the system's description, which is
// also shown in error_box when one is given (warning icon, title "Error").
Result<std::int32_t> CountFilesInFolder(const std::string& folder,
                                        std::string_view pattern,
                                        bool stop_at_first, Prompter* error_box,
                                        double* total_size);

// The number of folders directly in the folder, or -1 with *error_text =
// "Error: " and the description and *error_number set.
std::int32_t CountSubfolders(const std::string& folder,
                             std::string* error_text,
                             std::int32_t* error_number);

// True when the folder holds no file and no subfolder, and also when it
// cannot be read.
bool IsEmptyFolder(const std::string& folder);

// Counts the files of a folder tree whose names match pattern, depth first.
// With reset the counters start from 0 (the caller's first call). A positive
// *limit ends the walk as soon as *count reaches it, and *limit becomes -2.
// With add_sizes the file sizes are added to *total_size. A folder that
// cannot be read for lack of permission is passed over; any other error
// puts its number into *error_number and ends the walk.
void CountFilesInTree(bool reset, const std::string& folder,
                      std::string_view pattern, std::int32_t* count,
                      std::int16_t* limit, bool add_sizes, double* total_size,
                      std::int32_t* error_number);

// True when path lies in folder, both taken in folder form and compared
// exactly (callers fold case first when a rule says so). A path equal to the
// folder counts unless equal_does_not_count.
bool IsPathWithinFolder(std::string_view path, std::string_view folder,
                        bool equal_does_not_count);

// Matches a file name against a pattern of "?" (any one character) and "*"
// (the rest of a part, or up to the next literal character). Name and
// pattern are compared base with base and extension with extension (split
// at the last "."); "*.*" matches every name, a pattern without "." no
// name with one. A name holding "/" never matches. Unless case_sensitive, both are folded with LowerCaseText.
bool MatchesFilePattern(std::string_view name, std::string_view pattern,
                        bool case_sensitive);

// True when the path names a folder that can be opened.
bool FolderExists(const std::string& folder);

// Why FolderExists refuses the path, to be told after its name: empty when
// nothing is there (the caller's "does not exist"), "is not a folder" when
// a file is, or "cannot be read: " and the system's reason
// ("Permission denied").
std::string WhyNoFolder(const std::string& folder);

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
