#include "engine/index/settings_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "engine/common/records.h"
#include "engine/common/settings_text.h"
#include "engine/files/folder.h"
#include "engine/text/file_checks.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

constexpr int kNumItems = 12;

// Keeps the entries of a one-a-line field that still exist below the top
// folder.
void DropVanishedEntries(const std::string& top_folder, bool folders,
                         std::string* field) {
  std::vector<std::string> entries = SplitTrimmedLines(*field);
  if (entries.empty()) return;
  std::vector<std::string> kept;
  for (const std::string& entry : entries) {
    std::string full = top_folder + entry;
    if (folders ? FolderExists(full) : FileExists(full)) kept.push_back(entry);
  }
  *field = JoinLines(kept);
}

bool CheckBoxValue(const std::string& item, bool* value) {
  std::int32_t number = LeadingNumber(item);
  if (number != 0 && number != 1) return false;
  *value = number == 1;
  return true;
}

}  // namespace

Status WriteSettingsFile(const std::string& path,
                         const IndexSettings& settings) {
  const NamedText texts[] = {
      {"project name", &settings.txbProjectName},
      {"title", &settings.txbTitle},
      {"excluded filepaths", &settings.txbExcludedFilepaths},
      {"output folder", &settings.txbOutputFolder},
      {"top folder", &settings.txbTopFolder},
      {"excluded files", &settings.txbExcludedFiles},
      {"included subfolders", &settings.txbIncludedFolders},
      {"minimum file size", &settings.txbMinimumFilesize},
  };
  if (Status refused = RefuseDoubleQuotes(texts); !refused.ok()) {
    return refused;
  }
  std::string out = RecordLine().AddString(kSettingsHeader).Finish();
  for (const NamedText& t : texts) {
    out += RecordLine().AddString(*t.text).Finish();
  }
  // The documents' box comes last, after the twelve records a settings
  // file has always held: a reader of those twelve stops before it, and a
  // file without it loads with documents read.
  for (bool box : {settings.chkExcludeFilesInTopFolder,
                   settings.chkIncludeSubfoldersOfSubfolders,
                   settings.chkExcludeSpecialLetters,
                   settings.chkReadDocuments}) {
    out += RecordLine().AddNumber(box ? 1 : 0).Finish();
  }
  if (settings.chkWriteClassicDataFile) out += RecordLine().AddNumber(1).Finish();
  return WriteSettingsText(path, out);
}

bool SaveSettings(const std::string& path, const IndexSettings& settings,
                  Prompter* prompter) {
  Status status = WriteSettingsFile(path, settings);
  if (!status.ok()) {
    prompter->ShowMessage(MessageIcon::kWarning, "Save settings",
                          status.message());
  }
  return status.ok();
}

namespace {

// Reads the settings file as it was written into *settings: the texts as
// they stand, whether or not their folders exist. A failure returns
// kFailed with *description set and the settings at their defaults; a
// file whose fifth item is no folder path returns kRefused with the
// project name, title and output folder cleared.
LoadResult ReadSettingsItems(const std::string& path, IndexSettings* settings,
                             std::string* description) {
  auto failed = [&](const std::string& why) {
    *description = why;
    SetDefaults(settings);
    return LoadResult::kFailed;
  };
  std::ifstream file(path, std::ios::binary);
  if (!file) return failed(std::generic_category().message(errno));
  std::ostringstream whole;
  whole << file.rdbuf();
  if (file.bad()) return failed("Error reading file");
  std::string text = whole.str();
  DelimitedReader reader(text);
  std::string items[kNumItems];
  for (std::string& item : items) {
    if (!reader.NextItem(&item)) return failed("Input past end of file");
  }
  IndexSettings& s = *settings;
  s.txbProjectName = items[1];
  s.txbTitle = items[2];
  s.txbExcludedFilepaths = items[3];
  // The fifth item of a settings file is an output folder: empty or an
  // absolute path.
  const std::string& output = items[4];
  if (!output.empty() && output[0] != '/') {
    s.txbProjectName.clear();
    s.txbTitle.clear();
    s.txbOutputFolder.clear();
    return LoadResult::kRefused;
  }
  s.txbOutputFolder = output;
  s.txbTopFolder = TrimSpaces(items[5]);
  if (!s.txbTopFolder.empty()) AddTrailingBackslash(s.txbTopFolder);
  s.txbExcludedFiles = items[6];
  s.txbIncludedFolders = items[7];
  s.txbMinimumFilesize = items[8];
  if (!CheckBoxValue(items[9], &s.chkExcludeFilesInTopFolder) ||
      !CheckBoxValue(items[10], &s.chkIncludeSubfoldersOfSubfolders) ||
      !CheckBoxValue(items[11], &s.chkExcludeSpecialLetters)) {
    return failed("Invalid property value");
  }
  std::string documents;
  s.chkReadDocuments = true;
  if (reader.NextItem(&documents) &&
      !CheckBoxValue(documents, &s.chkReadDocuments)) {
    return failed("Invalid property value");
  }
  // The optional fourteenth record; anything but a 1 leaves the box off.
  std::string extra;
  s.chkWriteClassicDataFile = reader.NextItem(&extra) && extra == "1";
  return LoadResult::kLoaded;
}

}  // namespace

LoadResult LoadSettings(const std::string& path, IndexSettings* settings,
                        Prompter* prompter, bool show_messages) {
  std::string description;
  const LoadResult read = ReadSettingsItems(path, settings, &description);
  if (read == LoadResult::kFailed) {
    if (show_messages) {
      prompter->ShowMessage(
          MessageIcon::kWarning, "Load config",
          "Error when attempting to load settings: " + description);
    }
    return read;
  }
  if (read == LoadResult::kRefused) {
    if (show_messages) {
      prompter->ShowMessage(MessageIcon::kWarning, "Load settings",
                            "Invalid input.  Probably this is not a settings "
                            "file for this index module.");
    }
    return read;
  }
  IndexSettings& s = *settings;
  if (!FolderExists(s.txbOutputFolder)) s.txbOutputFolder.clear();
  if (!s.txbTopFolder.empty() && !FolderExists(s.txbTopFolder)) {
    s.txbTopFolder.clear();
  }
  if (s.txbTopFolder.empty()) {
    s.txbExcludedFiles.clear();
    s.txbIncludedFolders.clear();
  } else {
    DropVanishedEntries(s.txbTopFolder, false, &s.txbExcludedFiles);
    DropVanishedEntries(s.txbTopFolder, true, &s.txbIncludedFolders);
  }
  return LoadResult::kLoaded;
}

LoadResult ReadSettingsAsWritten(const std::string& path,
                                 IndexSettings* settings) {
  std::string description;
  return ReadSettingsItems(path, settings, &description);
}

}  // namespace orvane
