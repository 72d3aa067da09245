// The program-text file tavo.dat, as a translator or a damaged install may
// leave it: the loader, its messages and the look-up of loaded texts.
#include "engine/common/program_texts.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane;
  std::string path = fuzz::WriteScratchFile("tavo.dat", fuzz::AsText(data, size));
  std::int32_t error_line = 0;
  std::int32_t loaded = auxkit::_lt(path, 0, &error_line);
  if (loaded < 1) {
    ProgramTextLoadMessage(loaded, path, error_line);
    return 0;
  }
  char buffer[1024];
  for (std::int16_t number : {1, 2, 5, 48, 49, 100, 32767}) {
    std::int32_t length = auxkit::_gt(number, 0, buffer, sizeof buffer, 0);
    fuzz::Require(length <= static_cast<std::int32_t>(sizeof buffer),
                  "a program text overruns its buffer");
    GetProgramText(number);
  }
  return 0;
}
