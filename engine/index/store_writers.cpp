#include "engine/index/store_writers.h"

#include "engine/format/file_names.h"
#include "engine/index/classic_store_writer.h"
#include "engine/index/store_file_writer.h"

namespace orvane {

std::unique_ptr<IndexStoreWriter> NewIndexStoreWriter(
    IndexStoreKind kind, const std::string& output_folder,
    const std::string& project, BackgroundDeletion* deletion,
    bool classic_data_file) {
  switch (kind) {
    case IndexStoreKind::kClassic:
      break;
    case IndexStoreKind::kStore:
      return std::make_unique<StoreFileWriter>(
          IndexFilePath(output_folder, project),
          classic_data_file ? DataFilePath(output_folder, project)
                            : std::string(),
          StoreFilePath(output_folder, project), deletion);
  }
  return std::make_unique<ClassicStoreWriter>(
      IndexFilePath(output_folder, project), DataFilePath(output_folder, project),
      deletion);
}

}  // namespace orvane
