// What one stat of a file tells about it: its size and modification time.
// A search compares them with what the index kept of each file it finds,
// to tell the files that changed after the index was made.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

struct FileFacts {
  std::int64_t size = 0;         // bytes
  std::int64_t modified_ns = 0;  // modification time, ns since the epoch
};

// The facts of a stat's result.
FileFacts FactsOfStat(const struct stat& st);

// The facts of the regular file at path (one stat, links followed);
// nothing when no regular file is there.
std::optional<FileFacts> RegularFileFacts(const std::string& path);

// The modification time of whatever is at path (a folder too), ns since
// the epoch; nothing when nothing is there.
std::optional<std::int64_t> ModifiedNs(const std::string& path);

}  // namespace orvane
