#include "engine/modules/index_folders.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>
#include <vector>

#include "engine/common/records.h"
#include "engine/common/settings_text.h"
#include "engine/files/folder.h"

namespace orvane {

namespace {

constexpr std::string_view kNotesFile = "index_folders.txt";

using Note = std::pair<std::string, std::string>;  // index file, top folder

bool Storable(const std::string& path) {
  return !path.empty() && path.find_first_of("\"\r\n") == std::string::npos;
}

// A path as the notes hold it: absolute, without "." and "..", a folder
// with its one trailing "/".
std::string Normal(const std::string& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (ec) return path;
  std::string normal = absolute.lexically_normal().string();
  if (!path.empty() && path.back() == '/' && normal.back() != '/') {
    normal += '/';
  }
  return normal;
}

// The notes of the file, latest first; none when it cannot be read.
std::vector<Note> ReadNotes(const std::string& notes_file) {
  std::vector<Note> notes;
  std::ifstream file(notes_file, std::ios::binary);
  std::string line;
  while (notes.size() < kMaxIndexFolders && std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> items = SplitRecord(line);
    if (items.size() != 2 || !Storable(items[0]) || !Storable(items[1])) {
      continue;
    }
    notes.emplace_back(std::move(items[0]), std::move(items[1]));
  }
  return notes;
}

}  // namespace

std::string IndexFoldersPath() {
  return GetAppDataFilePath(kNotesFile, kAppDataSubfolder);
}

Status NoteIndexFolder(const std::string& notes_file,
                       const std::string& index_file,
                       const std::string& top_folder) {
  if (!Storable(index_file) || !Storable(top_folder)) return Status::Ok();
  const std::string index = Normal(index_file);
  std::string text = RecordLine()
                         .AddString(index)
                         .AddString(Normal(top_folder))
                         .Finish();
  std::size_t kept = 1;
  for (const Note& note : ReadNotes(notes_file)) {
    if (note.first == index) continue;
    if (++kept > kMaxIndexFolders) break;
    text += RecordLine().AddString(note.first).AddString(note.second).Finish();
  }
  return WriteSettingsText(notes_file, text);
}

std::string NotedTopFolder(const std::string& notes_file,
                           const std::string& index_file) {
  const std::string index = Normal(index_file);
  for (const Note& note : ReadNotes(notes_file)) {
    if (note.first == index) return note.second;
  }
  return std::string();
}

std::string LatestNotedIndex(const std::string& notes_file) {
  std::vector<Note> notes = ReadNotes(notes_file);
  return notes.empty() ? std::string() : notes.front().first;
}

}  // namespace orvane
