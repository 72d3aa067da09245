// Runs a fuzz target over kept inputs without libFuzzer, so that any
// compiler builds it and the test suite replays every seed and every kept
// finding: a finding once fixed stays fixed. Arguments are files or
// folders (every file below them, in name order). An input that crashes
// ends the program as it would end libFuzzer; one that makes the process
// hold more than kMaxResidentBytes fails it.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size);

namespace {

namespace fs = std::filesystem;

// Memory that a user would accept for one input of under a megabyte.
constexpr long kMaxResidentBytes = 1L << 30;

long PeakResidentBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss * 1024L;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    fs::path given = argv[i];
    if (fs::is_directory(given)) {
      for (const auto& entry : fs::recursive_directory_iterator(given)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
    } else if (fs::exists(given)) {
      inputs.push_back(given);
    }
  }
  std::sort(inputs.begin(), inputs.end());
  double slowest = 0;
  fs::path slowest_input;
  for (const fs::path& input : inputs) {
    std::ifstream in(input, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                            std::istreambuf_iterator<char>());
    std::fprintf(stderr, "Running %s (%zu bytes)\n", input.c_str(),
                 bytes.size());
    auto start = std::chrono::steady_clock::now();
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                           bytes.size());
    double seconds = std::chrono::duration<double>(
                         std::chrono::steady_clock::now() - start)
                         .count();
    if (seconds > slowest) {
      slowest = seconds;
      slowest_input = input;
    }
    if (PeakResidentBytes() > kMaxResidentBytes) {
      std::fprintf(stderr, "%s: the process held %ld MiB\n", input.c_str(),
                   PeakResidentBytes() >> 20);
      return 1;
    }
  }
  std::printf("%zu inputs replayed; slowest %.3f s (%s); peak memory %ld MiB\n",
              inputs.size(), slowest, slowest_input.c_str(),
              PeakResidentBytes() >> 20);
  return 0;
}
