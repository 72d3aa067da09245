// The writer of each kind of store, for the Index Module's runs.
#pragma once

#include <memory>
#include <string>

#include "engine/files/background_deletion.h"
#include "engine/format/index_store.h"

namespace orvane {

// A writer of the index of project into output_folder (folder form), in a
// store of that kind. deletion, when given, frees the blocks of large
// files behind the run; it must outlive the writer. The classic pair
// always has its data file; a store file has one beside it when
// classic_data_file is set.
std::unique_ptr<IndexStoreWriter> NewIndexStoreWriter(
    IndexStoreKind kind, const std::string& output_folder,
    const std::string& project, BackgroundDeletion* deletion,
    bool classic_data_file = false);

}  // namespace orvane
