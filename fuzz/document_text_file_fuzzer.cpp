// The text file beside an index as a crash, a damaged disk or another
// program may leave it: opened for the fingerprint its own trailer names
// (so that the fuzzer reaches the table and frames behind it), then every
// document it lists read back, with its pages within its text.
#include <string>

#include "engine/store/document_text_file.h"
#include "engine/store/store_coding.h"
#include "fuzz/fuzz_support.h"

using orvane::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path =
      orvane::fuzz::WriteScratchFile("f_text.tavo", orvane::fuzz::AsText(data, size));
  orvane::StoreFingerprint fingerprint;
  if (size >= 40) {
    const std::uint8_t* trailer = data + size - 40;
    fingerprint.index_file_size = orvane::store::LoadU64(trailer + 16);
    fingerprint.text_length = orvane::store::LoadU64(trailer + 24);
    fingerprint.text_checksum = orvane::store::LoadU32(trailer + 32);
  }
  auto opened = orvane::DocumentTextFile::Open(path, fingerprint);
  if (!opened.ok()) return 0;
  for (const auto& [document, stamp] : (*opened)->Documents()) {
    std::shared_ptr<orvane::DocumentSourceText> text = (*opened)->Find(document, stamp);
    if (text == nullptr) continue;
    for (std::int64_t offset : text->page_offsets) {
      Require(offset >= 0 &&
                  offset <= static_cast<std::int64_t>(text->text.size()),
              "a page starts outside its text");
    }
  }
  return 0;
}
