#include "engine/text/number_text.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <string_view>
#include <system_error>

#include "engine/text/charset.h"
#include "engine/text/string_ops.h"

namespace orvane {

namespace {

constexpr double kKilobyte = 1024.0;
constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr double kGigabyte = 1024.0 * 1024.0 * 1024.0;

// The shortest decimal text that reads back as the value, in fixed
// notation, without a sign: 0.1 gives "0.1", not 0.1000000000000000055.
std::string ShortestDecimal(double magnitude) {
  char buffer[400];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                 std::chars_format::fixed);
  if (ec != std::errc()) return "0";
  return std::string(buffer, end);
}

// Rounds a decimal text of digits with an optional "." to `decimals`
// places, halves away from zero, and returns the integer part and exactly
// `decimals` fraction digits.
void RoundDecimalText(const std::string& text, int decimals,
                      std::string* integer_part, std::string* fraction) {
  std::size_t point = text.find('.');
  std::string digits = text.substr(0, point);
  std::string frac =
      point == std::string::npos ? std::string() : text.substr(point + 1);
  bool round_up =
      frac.size() > static_cast<std::size_t>(decimals) && frac[decimals] >= '5';
  frac.resize(decimals, '0');
  std::string all = digits + frac;
  if (round_up) {
    std::size_t i = all.size();
    while (i > 0) {
      --i;
      if (all[i] == '9') {
        all[i] = '0';
      } else {
        ++all[i];
        break;
      }
      if (i == 0) all.insert(all.begin(), '1');
    }
  }
  *integer_part = all.substr(0, all.size() - decimals);
  *fraction = all.substr(all.size() - decimals);
}

std::string Group(const std::string& integer_part,
                  const std::string& separator) {
  std::string out;
  std::size_t n = integer_part.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += separator;
    out += integer_part[i];
  }
  return out;
}

// A number as the program writes it without formatting: no grouping, no
// leading space, and only the decimals it has (1023, 1.5).
std::string PlainNumber(double value) {
  if (!std::isfinite(value)) return ShortestDecimal(value);
  std::string text = ShortestDecimal(std::fabs(value));
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return value < 0 && text != "0" ? "-" + text : text;
}

// Rounds halves to the even neighbour, as the program rounds a value that
// an algorithm needs whole (minutes of a duration, whole seconds).
std::int64_t RoundHalfEven(double value) {
  return static_cast<std::int64_t>(std::nearbyint(value));
}

const char* const kWordsTo20[] = {
    "No",       "One",      "Two",      "Three",   "Four",    "Five",
    "Six",      "Seven",    "Eight",    "Nine",    "Ten",     "Eleven",
    "Twelve",   "Thirteen", "Fourteen", "Fifteen", "Sixteen", "Seventeen",
    "Eighteen", "Nineteen", "Twenty"};
const char* const kTens[] = {"",      "",      "Twenty",  "Thirty", "Forty",
                             "Fifty", "Sixty", "Seventy", "Eighty", "Ninety"};

// A text with "and" more than once keeps only the part before its last
// "and", trimmed, so that at most the two largest units remain.
std::string KeepTwoUnits(std::string text) {
  std::size_t first = text.find("and");
  std::size_t last = text.rfind("and");
  if (first == std::string::npos || first == last) return text;
  return TrimSpaces(std::string_view(text).substr(0, last));
}

std::string Units(std::int64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + std::string(n == 1 ? one : many);
}

}  // namespace

std::string FormatNumber(double value, int decimals,
                         const NumberFormat& format) {
  if (!std::isfinite(value)) return ShortestDecimal(value);
  if (decimals < 0) decimals = 0;
  std::string integer_part;
  std::string fraction;
  RoundDecimalText(ShortestDecimal(std::fabs(value)), decimals, &integer_part,
                   &fraction);
  std::string out = Group(integer_part, format.group_separator);
  if (decimals > 0) out += format.decimal_separator + fraction;
  bool zero = integer_part.find_first_not_of('0') == std::string::npos &&
              fraction.find_first_not_of('0') == std::string::npos;
  return value < 0 && !zero ? "-" + out : out;
}

std::string FormatByteSize(double size, std::int16_t decimals,
                           const NumberFormat& format) {
  if (size < 0) return std::string();
  if (size == 0) return "0 bytes";
  if (size < kKilobyte) return PlainNumber(size) + " bytes";
  if (size < kMegabyte) {
    return FormatNumber(size / kKilobyte, decimals, format) + " KB";
  }
  return FormatNumber(size / kMegabyte, decimals, format) + " MB";
}

std::string FormatByteSizeWithGB(double size, std::int16_t decimals,
                                 const NumberFormat& format) {
  if (size == 0) return "0 bytes";
  if (size < kKilobyte) return PlainNumber(size) + " bytes";
  if (size / kGigabyte >= 1) {
    return FormatNumber(size / kGigabyte, decimals, format) + " GB";
  }
  if (size / kMegabyte >= 1) {
    return FormatNumber(size / kMegabyte, decimals, format) + " MB";
  }
  return FormatNumber(size / kKilobyte, decimals, format) + " KB";
}

std::string FormatKilobytes(std::int64_t bytes, const NumberFormat& format) {
  if (bytes == 0) return "0 KB";
  std::int64_t kilobytes = bytes / 1024;
  if (bytes % 1024 > 0) ++kilobytes;
  return FormatNumber(static_cast<double>(kilobytes), 0, format) + " KB";
}

std::string NumberToWords(std::int32_t n, const NumberFormat& format) {
  // Negative counts have no words; they are written as numbers, like the
  // counts from 100 on.
  if (n < 0 || n >= 100) return FormatNumber(n, 0, format);
  if (n <= 20) return kWordsTo20[n];
  if (n % 10 == 0) return kTens[n / 10];
  return std::string(kTens[n / 10]) + " " + LowerCaseText(kWordsTo20[n % 10]);
}

std::string FormatElapsedTime(float seconds, const NumberFormat& format) {
  if (std::isnan(seconds)) seconds = 0;
  if (seconds == 1.0f) return "1 second";
  // Tenths under a minute: a run of a few seconds says how long it took.
  if (seconds < 59.95f) return FormatNumber(seconds, 1, format) + " seconds";
  double whole = std::nearbyint(std::min<double>(seconds, INT32_MAX));
  return FormatDuration(static_cast<std::int32_t>(whole), true, false);
}

std::string FormatDuration(std::int32_t seconds, bool long_form,
                           bool round_to_minutes) {
  std::int32_t s = seconds % 60;
  std::int32_t m = seconds / 60;
  auto seconds_text = [long_form](std::int32_t n) {
    return long_form ? Units(n, " second", " seconds")
                     : std::to_string(n) + "s";
  };
  if (m == 0) return seconds_text(s);
  if (round_to_minutes && seconds > 0) {
    m = static_cast<std::int32_t>(RoundHalfEven(seconds / 60.0));
    s = 0;
  }
  std::string result = FormatMinutes(m, long_form);
  if (s > 0) result += (long_form ? " and " : " ") + seconds_text(s);
  return KeepTwoUnits(result);
}

std::string FormatMinutes(std::int32_t minutes, bool long_form) {
  std::string result;
  bool written = false;
  std::int32_t rest = minutes;
  if (minutes >= 1440) {
    std::int32_t days = minutes / 1440;
    rest = minutes % 1440;
    result +=
        long_form ? Units(days, " day", " days") : std::to_string(days) + "d ";
    written = true;
  }
  if (rest >= 60) {
    std::int32_t hours = rest / 60;
    rest %= 60;
    if (long_form) {
      result += (written ? " and " : "") + Units(hours, " hour", " hours");
    } else {
      result += std::to_string(hours) + "h ";
    }
    written = true;
  }
  if (rest > 0) {
    if (long_form) {
      result += (written ? " and " : "") + Units(rest, " minute", " minutes");
    } else {
      result += std::to_string(rest) + "m ";
    }
  }
  if (result.empty()) return long_form ? "0 minutes" : "0m";
  if (!long_form) result = TrimSpaces(result);
  return KeepTwoUnits(result);
}

}  // namespace orvane
