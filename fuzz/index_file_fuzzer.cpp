// Loading an index file as it lies on disk, compressed, as copied from
// another machine, cut short or damaged: the file list, the lexicon, the
// data file rebuilt from the count lines, then a search when it loads.
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane::fuzz;
  // A data file left by the previous input would decide this one's load.
  RemoveScratchFile("disk_data.tavo");
  LoadAndSearch(WriteScratchFile("disk_index.tavo", AsText(data, size)));
  return 0;
}
