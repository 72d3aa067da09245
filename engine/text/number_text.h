// Number, size and duration texts for labels and messages. Numbers with
// grouping use the separators of a NumberFormat (the windows take the
// user's locale; the engine's default and the tests use "," and ".").
// Display rounding is halves away from zero.
#pragma once

#include <cstdint>
#include <string>

namespace orvane {

struct NumberFormat {
  std::string group_separator = ",";
  std::string decimal_separator = ".";
};

// The number with thousands grouping and exactly `decimals` decimals.
std::string FormatNumber(double value, int decimals,
                         const NumberFormat& format = {});

// "0 bytes", "1023 bytes", "2 KB", "5 MB"; empty for a negative size.
std::string FormatByteSize(double size, std::int16_t decimals,
                           const NumberFormat& format = {});
// As FormatByteSize, with GB from 1024^3 on.
std::string FormatByteSizeWithGB(double size, std::int16_t decimals,
                                 const NumberFormat& format = {});
// Kilobytes rounded up: 1025 gives "2 KB"; 0 gives "0 KB".
std::string FormatKilobytes(std::int64_t bytes,
                            const NumberFormat& format = {});
// "No", "One" .. "Twenty", "Twenty one" .. "Ninety nine", then the number.
std::string NumberToWords(std::int32_t n, const NumberFormat& format = {});
// "1 second", "1.2 seconds" (tenths under a minute), "1 hour and 2
// minutes".
std::string FormatElapsedTime(float seconds, const NumberFormat& format = {});
// "1 minute and 1 second" (long form) or "1m 1s"; at most two units.
std::string FormatDuration(std::int32_t seconds, bool long_form,
                           bool round_to_minutes);
// "1 day and 1 minute" (long form) or "1d 1m".
std::string FormatMinutes(std::int32_t minutes, bool long_form);

}  // namespace orvane
