#include "engine/common/cp1252.h"

#include <array>

namespace orvane {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the code page equals
// Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

int CodePointToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) return static_cast<int>(0x80 + i);
  }
  return -1;
}

long DecodeUtf8At(std::string_view text, std::size_t* pos) {
  auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  unsigned char b0 = byte(*pos);
  int extra;
  char32_t cp;
  if (b0 < 0x80) {
    ++*pos;
    return b0;
  } else if ((b0 & 0xE0) == 0xC0) {
    extra = 1;
    cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2;
    cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3;
    cp = b0 & 0x07;
  } else {
    ++*pos;
    return -1;
  }
  if (*pos + extra >= text.size()) {
    ++*pos;
    return -1;
  }
  for (int k = 1; k <= extra; ++k) {
    unsigned char b = byte(*pos + k);
    if ((b & 0xC0) != 0x80) {
      ++*pos;
      return -1;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++*pos;
    return -1;
  }
  *pos += extra + 1;
  return static_cast<long>(cp);
}

char32_t Cp1252ToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

DisplayText ContentToDisplay(std::string_view content) {
  DisplayText out;
  out.reserve(content.size() + content.size() / 8);
  std::size_t i = 0;
  while (i < content.size()) {
    // Runs of ASCII, most of most texts, are the same in both.
    std::size_t run = i;
    while (run < content.size() && static_cast<unsigned char>(content[run]) < 0x80) {
      ++run;
    }
    out.append(content.data() + i, run - i);
    if (run == content.size()) break;
    AppendUtf8(Cp1252ToCodePoint(static_cast<unsigned char>(content[run])), out);
    i = run + 1;
  }
  return out;
}

std::optional<Content> DisplayToContent(std::string_view display) {
  Content out;
  out.reserve(display.size());
  std::size_t pos = 0;
  while (pos < display.size()) {
    long cp = DecodeUtf8At(display, &pos);
    if (cp < 0) return std::nullopt;
    int b = CodePointToCp1252(static_cast<char32_t>(cp));
    if (b < 0) return std::nullopt;
    out.push_back(static_cast<char>(b));
  }
  return out;
}

Content DisplayToContentLossy(std::string_view display) {
  Content out;
  out.reserve(display.size());
  std::size_t pos = 0;
  while (pos < display.size()) {
    long cp = DecodeUtf8At(display, &pos);
    int b = cp < 0 ? -1 : CodePointToCp1252(static_cast<char32_t>(cp));
    out.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return out;
}

}  // namespace orvane
