// The entity operations over any text: decoding the entities of a file's
// lines, blanking and removing unknown ones, and encoding for the report.
#include "engine/text/entities.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane;
  const std::string text(fuzz::AsText(data, size));
  std::string decoded = text;
  DecodeEntities(decoded);
  std::string blanked = text;
  BlankUnknownEntities(blanked);
  RemoveEntityText(text);
  std::string encoded = decoded;
  EncodeEntities(encoded);
  EncodeQuotes(text);
  return 0;
}
