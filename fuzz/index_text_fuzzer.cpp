// Loading an index from its plain text, which the target compresses as the
// Index Module does: reaches the readers of the file list, the lexicon and
// the count lines much faster than damaged compressed data does. Then a
// search when it loads.
#include "engine/text/compression.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane;
  using namespace orvane::fuzz;
  RemoveScratchFile("text_data.tavo");
  std::string path = WriteScratchFile("text_index.tavo", AsText(data, size));
  Require(squeez::_alb() != 0, "the compression buffers are unavailable");
  std::int32_t compressed =
      squeez::_cf(path, ScratchFolder() + "text_index.ttavoc", true);
  squeez::_dalb();
  Require(compressed >= 0, "the index text could not be compressed");
  LoadAndSearch(path);
  return 0;
}
