// Writing the data file's rows with their zeros left as holes: bytes come
// at ascending offsets and are gathered into stretches of whole blocks; a
// stretch is written when the next byte lies beyond it. A block that gets
// no byte above 0 is never written, so it stays a hole of the sparse file
// and reads back as zeros. The indexing run writes its matrix this way and
// the Search Module rebuilds a data file this way.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/common/status.h"
#include "engine/files/buffered_file.h"

namespace orvane {

class SparseBlockWriter {
 public:
  // The longest stretch of blocks gathered before one write.
  static constexpr std::size_t kMaxRunBytes = std::size_t{1} << 20;

  // file is not owned and must outlive the writer; block is the size of
  // the holes (a power of two).
  SparseBlockWriter(BufferedFile* file, std::size_t block)
      : file_(file),
        block_(block),
        max_blocks_(std::max<std::size_t>(kMaxRunBytes / block, 1)) {}

  // REQUIRES: offsets never decrease between calls.
  void Put(std::uint64_t offset, std::uint8_t byte) {
    if (byte == 0) return;
    std::uint64_t b = offset / block_;
    if (blocks_ == 0 || b >= first_ + blocks_) {
      if (blocks_ > 0 && b == first_ + blocks_ && blocks_ < max_blocks_) {
        ++blocks_;
      } else {
        (void)Flush();
        first_ = b;
        blocks_ = 1;
      }
      if (run_.size() < blocks_ * block_) run_.resize(blocks_ * block_);
      std::memset(run_.data() + (blocks_ - 1) * block_, 0, block_);
    }
    run_[offset - first_ * block_] = static_cast<char>(byte);
  }

  // Writes the stretch gathered so far. Returns the first failure of any
  // write of this writer.
  Status Flush();

  const Status& status() const { return status_; }

 private:
  BufferedFile* file_;
  const std::size_t block_;
  const std::size_t max_blocks_;
  std::vector<char> run_;
  std::uint64_t first_ = 0;  // first block of the stretch
  std::size_t blocks_ = 0;
  Status status_;
};

}  // namespace orvane
