#include "engine/reading/document_text.h"

#include <algorithm>
#include <utility>

#include "engine/text/string_ops.h"
#include "engine/text/utf_decoding.h"

namespace orvane {

namespace {

// How much of a text the line-type rule looks at, as the text check does.
constexpr std::size_t kLineTypeLookedAt = 8192;

// The bytes of a compressed text as content: what ContentFile and the
// UTF-8 rule of the readers make of a file's bytes.
Content DecodeFileBytes(std::string bytes) {
  Utf16Order order = Utf16Mark(bytes);
  if (order == Utf16Order::kNone) {
    DecodeUtf8Text(bytes);
    return bytes;
  }
  Utf16Decoder decoder(order);
  Content content;
  decoder.Decode(bytes, &content);
  decoder.Finish(&content);
  return content;
}

// Splits text into lines at CR and CR LF, and at a lone LF when split_at_lf.
std::vector<Content> SplitFileLines(std::string_view text, bool split_at_lf) {
  std::vector<Content> lines;
  std::size_t start = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    char c = text[at];
    if (c == '\r' || (c == '\n' && split_at_lf)) {
      lines.emplace_back(text.substr(start, at - start));
      at += (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ? 2 : 1;
      start = at;
    } else {
      ++at;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace

void DocumentTextBuilder::Title(std::string_view utf8) {
  text_.title.assign(utf8);
}

void DocumentTextBuilder::PageStart() {
  text_.page_starts.push_back(static_cast<std::int32_t>(text_.lines.size()));
}

bool DocumentTextBuilder::Take(std::size_t size) {
  if (full_ || size > left_) {
    full_ = true;
    return false;
  }
  left_ -= size;
  return true;
}

bool DocumentTextBuilder::Line(std::string_view utf8) {
  if (!Take(utf8.size())) return false;
  text_.lines.emplace_back(utf8);
  return true;
}

bool DocumentTextBuilder::Bytes(std::string_view bytes) {
  if (!Take(bytes.size())) return false;
  text_.bytes.append(bytes);
  return true;
}

DocumentContent ToContent(DocumentText text) {
  DocumentContent content;
  content.title = std::move(text.title);
  DecodeUtf8Text(content.title);
  NormaliseWhitespace(content.title);
  content.title = TrimSpaces(CollapseSpaces(content.title));
  content.page_starts = std::move(text.page_starts);
  if (!text.bytes.empty()) {
    Content decoded = DecodeFileBytes(std::move(text.bytes));
    std::string_view looked_at =
        std::string_view(decoded).substr(0, kLineTypeLookedAt);
    bool lf_only = looked_at.find('\n') != std::string_view::npos &&
                   looked_at.find('\r') == std::string_view::npos;
    content.lines = SplitFileLines(decoded, lf_only);
    return content;
  }
  content.lines = std::move(text.lines);
  for (Content& line : content.lines) DecodeUtf8Text(line);
  return content;
}

bool ContentHoldsUtf8(const DocumentText& text) {
  if (text.bytes.size() < 2) return !text.bytes.empty();
  const std::string_view mark = std::string_view(text.bytes).substr(0, 2);
  return mark != "\xFF\xFE" && mark != "\xFE\xFF";
}

DocumentSourceText ToSourceText(const DocumentContent& content,
                                bool decode_utf8) {
  DocumentSourceText source;
  source.title = content.title;
  source.decode_utf8 = decode_utf8;
  std::size_t size = 0;
  for (const Content& line : content.lines) size += line.size() + 2;
  source.text.reserve(size);
  std::size_t page = 0;
  for (std::size_t i = 0; i < content.lines.size(); ++i) {
    while (page < content.page_starts.size() &&
           static_cast<std::size_t>(content.page_starts[page]) <= i) {
      source.page_offsets.push_back(
          static_cast<std::int64_t>(source.text.size()));
      ++page;
    }
    source.text += content.lines[i];
    source.text += "\r\n";
  }
  // Pages after the last line (without text) start at the text's end.
  for (; page < content.page_starts.size(); ++page) {
    source.page_offsets.push_back(static_cast<std::int64_t>(source.text.size()));
  }
  return source;
}

std::int32_t PageNumberOfLine(const std::vector<std::int32_t>& page_starts,
                              std::int32_t line_index) {
  // The last page that starts at or before the line: pages without text
  // start where the next one does, and the line belongs to the last.
  auto after =
      std::upper_bound(page_starts.begin(), page_starts.end(), line_index);
  if (after == page_starts.begin()) return page_starts.empty() ? 0 : 1;
  return static_cast<std::int32_t>(after - page_starts.begin());
}

}  // namespace orvane
