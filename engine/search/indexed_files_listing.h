// The listing of the indexed files in the large display window, in index
// order grouped by folder or sorted alphabetically, so that the user can
// check that the top folder fits the index. The paths are the relative
// paths stored in the index, and the listing says so.
#pragma once

#include "engine/search/search_ports.h"
#include "engine/search/search_settings.h"
#include "engine/search/search_state.h"

namespace orvane {

// cmdListIndexedFiles_Click: loads the index first when it is not loaded;
// an index of one file is shown in a message box instead. Returns false
// when nothing could be listed (a message was shown).
bool ListIndexedFiles(const SearchSettings& settings, SearchState* state,
                      SearchPorts& ports);

}  // namespace orvane
