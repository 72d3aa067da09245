#include "engine/store/store_fingerprint.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zstd.h>

#include <cerrno>
#include <system_error>

#include "engine/common/file_descriptor.h"
#include "engine/store/store_coding.h"

namespace orvane {

Result<StoreFingerprint> FingerprintOfIndexFile(const std::string& index_path) {
  auto failed = [&](const std::string& why) {
    return Status::Failed("Cannot read the index file " + index_path + ": " +
                          why);
  };
  FileDescriptor fd(::open(index_path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st;
  if (!fd.ok() || ::fstat(fd.get(), &st) != 0) {
    return failed(std::generic_category().message(errno) + ".");
  }
  // A frame header is at most ZSTD_FRAMEHEADERSIZE_MAX (18) bytes.
  std::uint8_t head[18];
  ssize_t got = ::pread(fd.get(), head, sizeof head, 0);
  if (got < 0) return failed(std::generic_category().message(errno) + ".");
  unsigned long long text_length =
      ZSTD_getFrameContentSize(head, static_cast<std::size_t>(got));
  std::uint8_t tail[4];
  if (text_length == ZSTD_CONTENTSIZE_UNKNOWN ||
      text_length == ZSTD_CONTENTSIZE_ERROR || st.st_size < 8 ||
      ::pread(fd.get(), tail, sizeof tail, st.st_size - 4) != 4) {
    return failed("it is not a compressed index.");
  }
  StoreFingerprint fingerprint;
  fingerprint.index_file_size = static_cast<std::uint64_t>(st.st_size);
  fingerprint.text_length = text_length;
  fingerprint.text_checksum = store::LoadU32(tail);
  return fingerprint;
}

}  // namespace orvane
