#include "engine/text/file_facts.h"

namespace orvane {

FileFacts FactsOfStat(const struct stat& st) {
  FileFacts facts;
  facts.size = static_cast<std::int64_t>(st.st_size);
  facts.modified_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
                      static_cast<std::int64_t>(st.st_mtim.tv_nsec);
  return facts;
}

std::optional<FileFacts> RegularFileFacts(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return std::nullopt;
  }
  return FactsOfStat(st);
}

std::optional<std::int64_t> ModifiedNs(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FactsOfStat(st).modified_ns;
}

}  // namespace orvane
