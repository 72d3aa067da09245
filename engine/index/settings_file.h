// Index Module settings files (*.usri): the twelve records that hold the
// settings of a project, written in the delimited style of the program's
// own files; a thirteenth for reading documents (a file without it reads
// them); and a fourteenth, the number 1, only when the classic data file is
// to be written (a file without it loads with that box off). A reader that
// takes the twelve records and no more reads every file as before. "Save
// for next run" writes tavoi.usri in the application-data
// folder, which the window loads when it opens.
#pragma once

#include <string>
#include <string_view>

#include "engine/common/ports.h"
#include "engine/common/status.h"
#include "engine/index/index_settings.h"

namespace orvane {

inline constexpr std::string_view kSettingsHeader =
    "Tavora -- Settings for Index Module";
inline constexpr std::string_view kDefaultIndexSettingsFile = "tavoi.usri";

// Writes the settings, exactly as the fields hold them, to path. The file
// is replaced only once it is complete. Refused, naming the field, when a
// text holds a double quote (a settings file cannot store one); Failed with
// "Error when attempting to save settings: " and the description.
Status WriteSettingsFile(const std::string& path,
                         const IndexSettings& settings);

// WriteSettingsFile, with a failure shown as a warning titled
// "Save settings". Returns true when the file was written.
bool SaveSettings(const std::string& path, const IndexSettings& settings,
                  Prompter* prompter);

enum class LoadResult {
  kLoaded,
  // The fifth item is not a folder path: not a settings file of this
  // module. The project name, title and output folder are cleared; the
  // other settings keep what was read so far.
  kRefused,
  // The file could not be read, or ended early, or held a bad value: the
  // settings are back at their defaults.
  kFailed,
};

// Reads the settings file into *settings. A saved output or top folder
// that no longer exists is not restored, and excluded files and included
// subfolders that no longer exist below the top folder are dropped. With
// show_messages (the window has finished starting) a refusal is shown as
// a warning titled "Load settings" and a failure as one titled
// "Load config".
LoadResult LoadSettings(const std::string& path, IndexSettings* settings,
                        Prompter* prompter, bool show_messages);

// Reads the settings file exactly as it was written, without the window's
// care for folders that no longer exist: the rules an index was made with,
// for a tree that may have moved since. kFailed leaves the defaults.
LoadResult ReadSettingsAsWritten(const std::string& path,
                                 IndexSettings* settings);

}  // namespace orvane
