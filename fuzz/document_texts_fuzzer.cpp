// The documents' texts section of a store file as a crash, a damaged disk
// or another program may leave it: the store opened without checking its
// pages (so that the fuzzer reaches the structure behind them) and for the
// fingerprint it names, then every document the section lists read back,
// with its pages within its text.
#include <string>

#include "engine/store/document_text_section.h"
#include "fuzz/fuzz_support.h"

using orvane::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path =
      orvane::fuzz::WriteScratchFile("f_store.tavo", orvane::fuzz::AsText(data, size));
  orvane::StoreReadOptions options;
  options.verify_checksums = false;
  auto store = orvane::StoreReader::Open(path, std::nullopt, options);
  if (!store.ok()) return 0;
  auto opened = orvane::DocumentTextSection::Open(**store);
  if (!opened.ok()) return 0;
  for (const auto& [document, stamp] : (*opened)->Documents()) {
    auto found = (*opened)->Find(document, stamp);
    if (!found.ok()) continue;
    Require(*found != nullptr, "a document the section lists was not found");
    const std::shared_ptr<orvane::DocumentSourceText>& text = *found;
    for (std::int64_t offset : text->page_offsets) {
      Require(offset >= 0 &&
                  offset <= static_cast<std::int64_t>(text->text.size()),
              "a page starts outside its text");
    }
  }
  return 0;
}
