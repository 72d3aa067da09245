#include "engine/report/html_text.h"

#include <cstdint>

namespace orvane {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// Decodes the UTF-8 sequence at text[i]; sets *length to the bytes used.
// Returns -1 for a byte that does not begin a valid sequence.
std::int32_t DecodeUtf8(std::string_view text, std::size_t i,
                        std::size_t* length) {
  auto byte = [&](std::size_t k) {
    return static_cast<unsigned char>(text[k]);
  };
  unsigned char c = byte(i);
  std::size_t n = c >= 0xF0 && c <= 0xF4   ? 4
                  : c >= 0xE0              ? 3
                  : c >= 0xC2 && c <= 0xDF ? 2
                                           : 0;
  if (c >= 0xF5) n = 0;
  if (n == 0 || i + n > text.size()) {
    *length = 1;
    return -1;
  }
  std::int32_t code = c & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
  for (std::size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      *length = 1;
      return -1;
    }
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  bool overlong = (n == 3 && code < 0x800) || (n == 4 && code < 0x10000);
  bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (overlong || surrogate || code > 0x10FFFF) {
    *length = 1;
    return -1;
  }
  *length = n;
  return code;
}

void AppendMarkupEscaped(std::string* out, char c, bool ampersand) {
  switch (c) {
    case '<':
      out->append("&lt;");
      return;
    case '>':
      out->append("&gt;");
      return;
    case '"':
      out->append("&quot;");
      return;
    case '&':
      if (ampersand) {
        out->append("&amp;");
        return;
      }
      break;
    default:
      break;
  }
  out->push_back(c);
}

}  // namespace

std::string HtmlPathText(std::string_view path) {
  std::string out;
  out.reserve(path.size() + 16);
  for (std::size_t i = 0; i < path.size();) {
    auto c = static_cast<unsigned char>(path[i]);
    if (c < 0x80) {
      AppendMarkupEscaped(&out, path[i], true);
      ++i;
      continue;
    }
    std::size_t length = 1;
    std::int32_t code = DecodeUtf8(path, i, &length);
    out.append("&#");
    out.append(std::to_string(code < 0 ? 65533 : code));
    out.push_back(';');
    i += length;
  }
  return out;
}

std::string HtmlFileLink(std::string_view absolute_path) {
  std::string out = "file://";
  for (char ch : absolute_path) {
    auto c = static_cast<unsigned char>(ch);
    bool encode = c < 0x20 || c >= 0x7F || ch == '%' || ch == '#' ||
                  ch == '?' || ch == '"' || ch == '\'' || ch == '<' ||
                  ch == '>' || ch == '\\';
    if (encode) {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0x0F]);
    } else if (ch == '&') {
      out.append("&amp;");
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

std::string HtmlTitleText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendMarkupEscaped(&out, c, false);
  return out;
}

std::string HtmlQueryText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendMarkupEscaped(&out, c, true);
  return out;
}

}  // namespace orvane
