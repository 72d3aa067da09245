// What one stat tells of a file: its size and modification time. An index
// keeps them for each file it read, so that a later look at the file can
// tell, without reading it, whether it is still the file that was read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

struct FileStamp {
  std::int64_t size = 0;         // bytes
  std::int64_t modified_ns = 0;  // modification time, ns since the epoch

  bool operator==(const FileStamp&) const = default;
};

// The stamp of the regular file at path (links followed); nothing for a
// path that is missing or not a regular file.
std::optional<FileStamp> StampOfFile(const std::string& path);

}  // namespace orvane
