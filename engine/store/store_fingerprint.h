// What ties a store file to the index file it was made with: the index
// file's length, and the length and content checksum that its zstd frame
// records. Reading them costs one open and two small reads, however large
// the index; a store whose fingerprint differs is stale or belongs to
// another index.
#pragma once

#include <cstdint>
#include <string>

#include "engine/common/status.h"

namespace orvane {

struct StoreFingerprint {
  std::uint64_t index_file_size = 0;  // the compressed index file, in bytes
  std::uint64_t text_length = 0;      // the index text, in bytes
  std::uint32_t text_checksum = 0;    // the frame's last four bytes

  bool operator==(const StoreFingerprint&) const = default;
};

// The fingerprint of a compressed index file (one zstd frame, as the
// compression component writes it). Failed, with a message naming the
// file: it cannot be opened or read, or it does not begin with a zstd
// frame that records its content size.
Result<StoreFingerprint> FingerprintOfIndexFile(const std::string& index_path);

}  // namespace orvane
