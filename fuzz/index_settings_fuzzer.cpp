// An Index Module settings file (*.usri) as another program version, a
// text editor or a damaged disk left it.
#include "engine/index/settings_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane;
  std::string path = fuzz::WriteScratchFile("fuzz.usri", fuzz::AsText(data, size));
  IndexSettings settings;
  SetDefaults(&settings);
  testing::RecordingPrompter prompter;
  LoadSettings(path, &settings, &prompter, true);
  return 0;
}
