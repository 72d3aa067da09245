// The text-file checks that decide whether a file is indexed: its control
// characters, line ends, byte-order mark and special letters, as the
// counting pass examines them (its first 8192 characters) and over a few.
#include "engine/text/file_checks.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane;
  std::string path = fuzz::WriteScratchFile("check.txt", fuzz::AsText(data, size));
  for (std::int32_t max_chars : {8192, 5}) {
    for (bool ignore_zero_bytes : {false, true}) {
      TextFileFacts facts;
      std::int16_t plain =
          CheckTextFile(path, max_chars, ignore_zero_bytes, &facts);
      TextFileFacts letter_facts;
      std::int16_t with_letters = CheckTextFileAndLetters(
          path, max_chars, ignore_zero_bytes, &letter_facts);
      // The checks pass over different byte-order-mark bytes when they
      // ignore zero bytes; otherwise counting letters changes nothing.
      fuzz::Require(ignore_zero_bytes || plain == with_letters,
                    "counting special letters changes a file's check");
      fuzz::Require(letter_facts.special_letter_percentage >= 0 &&
                        letter_facts.special_letter_percentage <= 100,
                    "the share of special letters is not a percentage");
    }
  }
  return 0;
}
