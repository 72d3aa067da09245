#include "engine/format/count_line.h"

namespace orvane {

// Each cell takes an item for the zeros before it (a comma, a minus sign,
// at most as many digits as N has) and its score (a comma and three
// digits); the zeros after the last take one more item.
std::size_t MostCountLineCharacters(std::size_t cells, std::uint32_t num_files) {
  std::size_t digits = std::to_string(num_files < 1 ? 1 : num_files).size();
  return (cells + 1) * (digits + 2) + cells * 4;
}

char* WriteCountLine(const std::uint32_t* file_indexes,
                     const std::uint8_t* scores, std::size_t cells,
                     std::uint32_t num_files, char* at) {
  char* const begin = at;
  auto number = [&](std::uint32_t n) {
    char digits[10];
    int count = 0;
    do {
      digits[count++] = static_cast<char>('0' + n % 10);
      n /= 10;
    } while (n != 0);
    while (count > 0) *at++ = digits[--count];
  };
  auto zeros = [&](std::uint32_t k) {
    if (k == 0) return;
    if (at != begin) *at++ = ',';
    if (k == 1) {
      *at++ = '0';
    } else {
      *at++ = '-';
      number(k);
    }
  };
  std::uint32_t next_file = 0;  // index of the first file not yet coded
  for (std::size_t c = 0; c < cells; ++c) {
    std::uint32_t file = file_indexes[c];
    zeros(file - next_file);
    if (at != begin) *at++ = ',';
    number(scores[c]);
    next_file = file + 1;
  }
  zeros(num_files - next_file);
  return at;
}

std::string_view CountLineField(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  if (i < line.size() && line[i] == '"') {
    std::size_t close = line.find('"', i + 1);
    if (close == std::string_view::npos) close = line.size();
    return line.substr(i + 1, close - i - 1);
  }
  std::size_t comma = line.find(',', i);
  if (comma == std::string_view::npos) comma = line.size();
  return line.substr(i, comma - i);
}

}  // namespace orvane
