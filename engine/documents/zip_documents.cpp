#include "engine/documents/zip_documents.h"

#include <vector>

namespace orvane {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string DecodePercentEscapes(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      decoded.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 +
                                          HexValue(text[i + 2])));
      i += 2;
    } else {
      decoded.push_back(text[i]);
    }
  }
  return decoded;
}

}  // namespace

std::string ResolvePartName(std::string_view from, std::string_view target) {
  target = target.substr(0, target.find('#'));
  std::vector<std::string> parts;
  std::string_view path = target;
  if (!path.empty() && path.front() == '/') {
    path.remove_prefix(1);
  } else {
    // The folders of from: every piece before its last "/".
    std::string_view folder = from.substr(0, from.rfind('/') + 1);
    if (from.find('/') == std::string_view::npos) folder = {};
    while (!folder.empty()) {
      std::size_t slash = folder.find('/');
      parts.emplace_back(folder.substr(0, slash));
      folder.remove_prefix(slash + 1);
    }
  }
  while (true) {
    std::size_t slash = path.find('/');
    std::string_view piece = path.substr(0, slash);
    if (piece == "..") {
      if (parts.empty()) return {};
      parts.pop_back();
    } else if (!piece.empty() && piece != ".") {
      parts.push_back(DecodePercentEscapes(piece));
    }
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  std::string name;
  for (const std::string& part : parts) {
    if (!name.empty()) name.push_back('/');
    name += part;
  }
  return name;
}

void GiveTitle(const pugi::xml_node& node, DocumentSink& sink) {
  pugi::xml_node title = FindElement(node, "title");
  if (!title) return;
  std::string text = TextOf(title);
  if (text.find_first_not_of(" \t\r\n") != std::string::npos) sink.Title(text);
}

ReadResult TextWalked(bool kept) {
  if (kept) return std::nullopt;
  return ReadProblem{WireFailure::kTooMuchText, {}};
}

}  // namespace orvane
