// The settings of an indexing project, as the Index Module window holds
// them: one field per control, named after the control, so that the window
// copies its widgets into this struct, calls the engine and copies the
// struct back. Texts are as typed (UTF-8); folders are paths in folder form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/files/folder.h"

namespace orvane {

struct IndexSettings {
  std::string txbProjectName;
  std::string txbTitle;
  // Items separated by commas.
  std::string txbExcludedFilepaths;
  std::string txbOutputFolder;
  std::string txbTopFolder;
  // One path relative to the top folder a line (CR LF between lines).
  std::string txbExcludedFiles;
  // One folder relative to the top folder a line, without leading or
  // trailing "/".
  std::string txbIncludedFolders;
  // Bytes; the leading number of the text counts, 0 or empty: no minimum.
  std::string txbMinimumFilesize = "400";
  bool chkExcludeFilesInTopFolder = false;
  bool chkIncludeSubfoldersOfSubfolders = false;
  bool chkExcludeSpecialLetters = true;
  // PDF, OpenDocument, Office Open XML and EPUB files and compressed text
  // are read through the document reader and indexed with the text files.
  bool chkReadDocuments = true;
  // Write the classic data file beside the index file and the store, for
  // programs that read only the index file and the data file. With it, a
  // run takes at most the classic pair's 32,000 files.
  bool chkWriteClassicDataFile = false;

  bool operator==(const IndexSettings&) const = default;
};

// Puts every setting to its default: all texts empty but the minimum file
// size "400", the files of the top folder and the subfolders of the included
// subfolders not excluded, files and words with special letters excluded,
// documents read.
void SetDefaults(IndexSettings* settings);

// Includes the whole tree below the top folder: every subfolder (in byte
// order, one a line) and the subfolders of subfolders. False, with *error
// set, when the top folder cannot be read.
bool IncludeWholeTree(IndexSettings* settings, FolderError* error);

// The extensions of files that are never indexed, lower case, each followed
// by one space.
inline constexpr std::string_view kExcludedExtensions =
    "bas bat bin bmp cgi com css dbf "
    "dll drv exe fmt frm frx fx gif "
    "ico idx tavo ini jpe jpg js kbd "
    "mdb ocx ovl pdf png prg rar "
    "rsc scr swp sys tiff tlb usri usrs vbp "
    "vbw vbs vbx vxd xls zip htaccess ";

// True when the extension (lower case, without its ".") is one of the
// excluded extensions. Whole entries only: "at" is not excluded because
// "bat" is, and the empty extension of a name without "." is not excluded.
bool IsExcludedExtension(std::string_view extension);

}  // namespace orvane
