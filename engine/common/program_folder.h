// Where the program's own files are: tavo.dat, cwds.txt and the user manual
// lie in the executable's folder, or, in the installed layout, in
// ../share/orvane beside it; its helper programs in ../lib/orvane.
#pragma once

#include <filesystem>
#include <string_view>

namespace orvane {

// The folder of the running executable.
std::filesystem::path ProgramFolder();

// The path of one of the program's own files: in the program folder when it
// is there, else in ../share/orvane beside it, else the program-folder path
// (which does not exist; the caller reports it).
std::filesystem::path ProgramFilePath(std::string_view file_name);

// The same for one of the program's helper programs (the document reader):
// in the program folder, else in ../lib/orvane beside it.
std::filesystem::path ProgramHelperPath(std::string_view file_name);

}  // namespace orvane
