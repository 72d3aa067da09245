#include "engine/files/file_stamp.h"

#include <sys/stat.h>

namespace orvane {

std::optional<FileStamp> StampOfFile(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return std::nullopt;
  }
  FileStamp stamp;
  stamp.size = static_cast<std::int64_t>(st.st_size);
  stamp.modified_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 +
                      static_cast<std::int64_t>(st.st_mtim.tv_nsec);
  return stamp;
}

}  // namespace orvane
