#include "engine/index/store_writers.h"

#include "engine/format/file_names.h"
#include "engine/index/classic_store_writer.h"

namespace orvane {

std::unique_ptr<IndexStoreWriter> NewIndexStoreWriter(
    IndexStoreKind kind, const std::string& output_folder,
    const std::string& project, BackgroundDeletion* deletion) {
  switch (kind) {
    case IndexStoreKind::kClassic:
      break;
  }
  return std::make_unique<ClassicStoreWriter>(
      IndexFilePath(output_folder, project), DataFilePath(output_folder, project),
      deletion);
}

}  // namespace orvane
