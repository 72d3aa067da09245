// The data file beside a sound index, as left by another program version,
// another index or a crash: its check (trailer, size, age), its rebuild
// when it does not match, and the rows that a search then reads.
#include "engine/text/compression.h"
#include "fuzz/fuzz_support.h"

namespace {

// Three files of the sample tree, four words; its data file is 4 × 3 + 4
// bytes.
constexpr std::string_view kIndexText =
    "\"README.txt\"\r\n\"literature/the_raven.html\"\r\n\"mail/club.mbox\"\r\n"
    "\"End of file list\"\r\n4,\"Fuzz\"\r\n3,\"club\"\r\n2,\"nevermore\"\r\n"
    "4,\"raven\"\r\n1,\"the\"\r\n101,\"End of lexicon\"\r\n"
    "\"255,40,255\"\r\n\"0,255,0\"\r\n\"-2,200\"\r\n\"0,180,0\"\r\n";

// Writes the index once; the data file, written after it for each input,
// is never older than it.
const std::string& IndexPath() {
  static const std::string path = [] {
    using namespace orvane;
    std::string written = fuzz::WriteScratchFile("data_index.tavo", kIndexText);
    fuzz::Require(squeez::_alb() != 0, "the compression buffers are unavailable");
    std::int32_t compressed =
        squeez::_cf(written, fuzz::ScratchFolder() + "data_index.ttavoc", true);
    squeez::_dalb();
    fuzz::Require(compressed >= 0, "the index could not be compressed");
    return written;
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane::fuzz;
  const std::string& index_path = IndexPath();
  WriteScratchFile("data_data.tavo", AsText(data, size));
  LoadAndSearch(index_path);
  return 0;
}
