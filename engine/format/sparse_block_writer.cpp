#include "engine/format/sparse_block_writer.h"

namespace orvane {

Status SparseBlockWriter::Flush() {
  if (blocks_ > 0) {
    Status written =
        file_->WriteAt(first_ * block_, run_.data(), blocks_ * block_);
    if (status_.ok()) status_ = written;
    blocks_ = 0;
  }
  return status_;
}

}  // namespace orvane
