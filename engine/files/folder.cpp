#include "engine/files/folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "engine/common/ports.h"
#include "engine/text/charset.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

FolderError ErrorFromErrno(int error) {
  FolderError result;
  switch (error) {
    case EACCES:
    case EPERM:
      result.number = kErrorPermissionDenied;
      break;
    case ENOENT:
    case ENOTDIR:
      result.number = kErrorPathNotFound;
      break;
    default:
      result.number = kErrorPathFileAccess;
      break;
  }
  result.description = std::generic_category().message(error);
  return result;
}

std::string InFolderForm(std::string_view path) {
  std::string result(path);
  AddTrailingBackslash(result);
  return result;
}

// Size of a file given by its full path; -1 when it cannot be read.
std::int64_t FileSize(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool IsAllWildcards(std::string_view text) {
  return text.find_first_not_of("*?") == std::string_view::npos;
}

// One part (base or extension) of a name against the same part of a
// pattern. A "*" before a literal skips the name up to that literal's first
// occurrence; there is no backtracking.
bool MatchPart(std::string_view name, std::string_view pattern) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (j < pattern.size()) {
    char c = pattern[j];
    if (c == '?') {
      if (i >= name.size()) return false;
      ++i;
      ++j;
    } else if (c == '*') {
      std::size_t k = pattern.find_first_not_of("*?", j);
      if (k == std::string_view::npos) return true;
      std::size_t found = name.find(pattern[k], i);
      if (found == std::string_view::npos) return false;
      i = found;
      j = k;
    } else {
      if (i >= name.size() || name[i] != c) return false;
      ++i;
      ++j;
    }
  }
  return i == name.size();
}

void SplitAtLastDot(std::string_view text, std::string_view* base,
                    std::string_view* extension, bool* has_dot) {
  std::size_t dot = text.rfind('.');
  *has_dot = dot != std::string_view::npos;
  *base = *has_dot ? text.substr(0, dot) : text;
  *extension = *has_dot ? text.substr(dot + 1) : std::string_view();
}

}  // namespace

bool FolderExists(const std::string& folder) {
  if (folder.empty()) return false;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  return !ec;
}

std::string WhyNoFolder(const std::string& folder) {
  // In folder form a file's path ends in "/", which stat refuses as
  // "Not a directory" before it looks at the file.
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) {
    return path.empty() || errno == ENOENT || errno == ENOTDIR
               ? std::string()
               : "cannot be read: " + std::string(std::strerror(errno));
  }
  if (!S_ISDIR(st.st_mode)) return "is not a folder";
  DIR* dir = opendir(path.c_str());
  if (dir != nullptr) {
    closedir(dir);
    return std::string();
  }
  return "cannot be read: " + std::string(std::strerror(errno));
}

bool ListFolder(const std::string& folder, FolderListing* listing,
                FolderError* error) {
  listing->files.clear();
  listing->subfolders.clear();
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) {
    *error = ErrorFromErrno(errno);
    return false;
  }
  int fd = dirfd(dir);
  while (true) {
    errno = 0;
    dirent* entry = readdir(dir);
    if (entry == nullptr) break;
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN) {
      // Some file systems do not fill in the type: ask without following a
      // link. An entry that vanished in between is passed over.
      struct stat st;
      if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      type = S_ISREG(st.st_mode)   ? DT_REG
             : S_ISDIR(st.st_mode) ? DT_DIR
                                   : DT_LNK;
    }
    if (type == DT_REG) {
      listing->files.emplace_back(name);
    } else if (type == DT_DIR) {
      listing->subfolders.emplace_back(name);
    }
  }
  int read_error = errno;
  closedir(dir);
  if (read_error != 0) {
    listing->files.clear();
    listing->subfolders.clear();
    *error = ErrorFromErrno(read_error);
    return false;
  }
  std::sort(listing->files.begin(), listing->files.end());
  std::sort(listing->subfolders.begin(), listing->subfolders.end());
  return true;
}

Result<std::int32_t> CountFilesInFolder(const std::string& folder,
                                        std::string_view pattern,
                                        bool stop_at_first, Prompter* error_box,
                                        double* total_size) {
  bool sizes_wanted = *total_size == -1.0;
  FolderListing listing;
  FolderError error;
  if (!ListFolder(folder, &listing, &error)) {
    if (error_box != nullptr) {
      error_box->ShowMessage(MessageIcon::kWarning, "Error",
                             error.description);
    }
    return Status::Failed(error.description);
  }
  if (pattern == "*.*" && !sizes_wanted) {
    return static_cast<std::int32_t>(listing.files.size());
  }
  *total_size = 0;
  std::string base = InFolderForm(folder);
  std::int32_t count = 0;
  for (const std::string& name : listing.files) {
    if (!MatchesFilePattern(name, pattern, false)) continue;
    ++count;
    if (sizes_wanted) {
      std::int64_t size = FileSize(base + name);
      if (size >= 0) *total_size += static_cast<double>(size);
    }
    if (stop_at_first) break;
  }
  return count;
}

std::int32_t CountSubfolders(const std::string& folder,
                             std::string* error_text,
                             std::int32_t* error_number) {
  error_text->clear();
  FolderListing listing;
  FolderError error;
  if (!ListFolder(InFolderForm(folder), &listing, &error)) {
    *error_text = "Error: " + error.description;
    *error_number = error.number;
    return -1;
  }
  return static_cast<std::int32_t>(listing.subfolders.size());
}

bool IsEmptyFolder(const std::string& folder) {
  double no_sizes = 0;
  Result<std::int32_t> files =
      CountFilesInFolder(folder, "*.*", true, nullptr, &no_sizes);
  if (files.ok() && *files > 0) return false;
  std::string error_text;
  std::int32_t error_number = 0;
  return CountSubfolders(folder, &error_text, &error_number) <= 0;
}

void CountFilesInTree(bool reset, const std::string& folder,
                      std::string_view pattern, std::int32_t* count,
                      std::int16_t* limit, bool add_sizes, double* total_size,
                      std::int32_t* error_number) {
  if (reset) {
    *count = 0;
    *total_size = 0;
    *error_number = 0;
  }
  std::string path = InFolderForm(folder);
  FolderListing listing;
  FolderError error;
  if (!ListFolder(path, &listing, &error)) {
    // An unreadable folder is passed over; the walk goes on with its
    // siblings.
    if (error.number != kErrorPermissionDenied) *error_number = error.number;
    return;
  }
  for (const std::string& name : listing.files) {
    if (!MatchesFilePattern(name, pattern, false)) continue;
    ++*count;
    if (add_sizes) {
      std::int64_t size = FileSize(path + name);
      if (size >= 0) *total_size += static_cast<double>(size);
    }
    if (*limit > 0 && *count >= *limit) {
      *limit = -2;
      return;
    }
  }
  for (const std::string& name : listing.subfolders) {
    CountFilesInTree(false, path + name, pattern, count, limit, add_sizes,
                     total_size, error_number);
    if (*error_number > 0 || *limit == -2) return;
  }
}

bool IsPathWithinFolder(std::string_view path, std::string_view folder,
                        bool equal_does_not_count) {
  std::string path_form = InFolderForm(path);
  std::string folder_form = InFolderForm(folder);
  if (path_form.compare(0, folder_form.size(), folder_form) != 0) {
    return false;
  }
  return !(equal_does_not_count && path_form.size() == folder_form.size());
}

bool MatchesFilePattern(std::string_view name, std::string_view pattern,
                        bool case_sensitive) {
  if (name.find('/') != std::string_view::npos) return false;
  std::string trimmed = TrimSpaces(pattern);
  if (trimmed.empty()) return true;
  std::string folded_name(name);
  if (!case_sensitive) {
    folded_name = LowerCaseText(folded_name);
    trimmed = LowerCaseText(trimmed);
  }
  std::string_view name_base, name_ext, pattern_base, pattern_ext;
  bool name_dot, pattern_dot;
  SplitAtLastDot(folded_name, &name_base, &name_ext, &name_dot);
  SplitAtLastDot(trimmed, &pattern_base, &pattern_ext, &pattern_dot);
  if (!pattern_dot && name_dot) return false;
  if (pattern_dot && !name_dot && !IsAllWildcards(pattern_ext)) return false;
  return MatchPart(name_base, pattern_base) && MatchPart(name_ext, pattern_ext);
}

std::string GetSpecialFolderPath(int special_folder_number) {
  if (special_folder_number != 26) return std::string();
  std::string data_home = Env("XDG_DATA_HOME");
  if (!data_home.empty()) return data_home;
  std::string home = Env("HOME");
  if (home.empty()) return std::string();
  return home + "/.local/share";
}

std::string FirstFixedDrive() { return Env("HOME"); }

std::string GetAppDataFilePath(std::string_view file_name,
                               std::string_view subfolder_name) {
  std::string base = GetSpecialFolderPath(26);
  if (base.empty()) base = FirstFixedDrive();
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  std::string folder = base + "/" + std::string(subfolder_name);
  if (!FolderExists(folder)) {
    std::error_code ec;
    // The base itself may be missing on a fresh account.
    std::filesystem::create_directories(folder, ec);
  }
  return folder + "/" + std::string(file_name);
}

}  // namespace orvane
