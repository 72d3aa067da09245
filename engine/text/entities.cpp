#include "engine/text/entities.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace orvane {

// Windows-1252 bytes: every escape is followed by the separating space (or
// ends the table), so no escape runs into the next character.
const std::string_view kEntityTable =
    "&copy;\xA9 &amp;& &nbsp; &#160; &#8212;\x97 "
    "&AElig;\xC6 &Aacute;\xC1 &Acirc;\xC2 &Agrave;\xC0 &Aring;\xC5 "
    "&Atilde;\xC3 &Auml;\xC4 &Ccedil;\xC7 &ETH;\xD0 &Eacute;\xC9 "
    "&Ecirc;\xCA &Egrave;\xC8 &Euml;\xCB &Iacute;\xCD &Icirc;\xCE "
    "&Igrave;\xCC &Iuml;\xCF &Ntilde;\xD1 &Oacute;\xD3 &Ocirc;\xD4 "
    "&Ograve;\xD2 &Oslash;\xD8 &Otilde;\xD5 &Ouml;\xD6 &THORN;\xDE "
    "&Uacute;\xDA &Ucirc;\xDB &Ugrave;\xD9 &Uuml;\xDC &Yacute;\xDD "
    "&aacute;\xE1 &acirc;\xE2 &aelig;\xE6 &agrave;\xE0 &aring;\xE5 "
    "&atilde;\xE3 &auml;\xE4 &ccedil;\xE7 &eacute;\xE9 &ecirc;\xEA "
    "&egrave;\xE8 &eth;\xF0 &euml;\xEB &iacute;\xED &icirc;\xEE "
    "&igrave;\xEC &iuml;\xEF &ntilde;\xF1 &oacute;\xF3 &ocirc;\xF4 "
    "&ograve;\xF2 &oslash;\xF8 &otilde;\xF5 &ouml;\xF6 &szlig;\xDF "
    "&thorn;\xFE &uacute;\xFA &ucirc;\xFB &ugrave;\xF9 &uuml;\xFC "
    "&yacute;\xFD &yuml;\xFF";

namespace {

constexpr char kEmDash = '\x97';

struct Entry {
  std::string_view name;  // "&name;"
  char ch;
};

// The entries of kEntityTable in table order. An entry is "&name;" and the
// character after its ";"; the entries of the space ("&nbsp;", "&#160;")
// share their character with the separator.
std::vector<Entry> ParseTable() {
  std::vector<Entry> entries;
  std::size_t pos = 0;
  while (pos < kEntityTable.size()) {
    std::size_t semi = kEntityTable.find(';', pos);
    if (semi == std::string_view::npos || semi + 1 >= kEntityTable.size()) {
      break;
    }
    char ch = kEntityTable[semi + 1];
    entries.push_back({kEntityTable.substr(pos, semi + 1 - pos), ch});
    pos = semi + 2;
    if (ch != ' ') ++pos;  // the separating space
  }
  return entries;
}

// Every text from an "&" of the table to the next ";" after it, with the
// character after that ";", sorted by text. Besides the entry names this
// holds "& &nbsp;" (from the "&" that "&amp;" stands for), so that a look-up
// here finds what a substring search of the table finds.
const std::vector<Entry>& DecodableTexts() {
  static const std::vector<Entry> entries = [] {
    std::vector<Entry> e;
    for (std::size_t amp = kEntityTable.find('&');
         amp != std::string_view::npos; amp = kEntityTable.find('&', amp + 1)) {
      std::size_t semi = kEntityTable.find(';', amp + 1);
      if (semi == std::string_view::npos || semi + 1 >= kEntityTable.size()) {
        break;
      }
      e.push_back(
          {kEntityTable.substr(amp, semi + 1 - amp), kEntityTable[semi + 1]});
    }
    // Stable, so that of equal texts the first in the table wins.
    std::stable_sort(e.begin(), e.end(), [](const Entry& a, const Entry& b) {
      return a.name < b.name;
    });
    return e;
  }();
  return entries;
}

// For each byte, the name of the first entry that stands for it, or empty.
const std::array<std::string_view, 256>& NamesByChar() {
  static const std::array<std::string_view, 256> names = [] {
    std::array<std::string_view, 256> n{};
    for (const Entry& entry : ParseTable()) {
      auto& slot = n[static_cast<unsigned char>(entry.ch)];
      if (slot.empty()) slot = entry.name;
    }
    return n;
  }();
  return names;
}

// The character an "&...;" candidate decodes to, or false when the table
// does not hold it. The comparison is exact, with case.
bool LookUpEntity(std::string_view candidate, char* ch) {
  const std::vector<Entry>& entries = DecodableTexts();
  auto it = std::lower_bound(
      entries.begin(), entries.end(), candidate,
      [](const Entry& e, std::string_view name) { return e.name < name; });
  if (it == entries.end() || it->name != candidate) return false;
  *ch = it->ch;
  return true;
}

}  // namespace

// The result is built in one pass: a replacement never changes the text
// still to be scanned, and the scan resumes right behind each replaced
// character, so a decoded "&" is never taken for the start of an entity.
void DecodeEntities(std::string& text) {
  std::size_t amp = text.find('&');
  if (amp == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  out.append(text, 0, amp);
  std::size_t pos = amp;
  while (pos < text.size()) {
    amp = text.find('&', pos);
    if (amp == std::string::npos) break;
    std::size_t semi = text.find(';', amp + 1);
    if (semi == std::string::npos) break;
    out.append(text, pos, amp - pos);
    std::string_view candidate(text.data() + amp, semi + 1 - amp);
    char ch;
    if (candidate == "&quot;") {
      out += '"';
    } else if (LookUpEntity(candidate, &ch)) {
      out += ch;
    } else {
      out.append(candidate);
    }
    pos = semi + 1;
  }
  if (pos < text.size()) out.append(text, pos, std::string::npos);
  text = std::move(out);
}

void BlankUnknownEntities(std::string& text) {
  std::size_t amp = text.find('&');
  if (amp == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  out.append(text, 0, amp);
  std::size_t pos = amp;
  // The next ";" and the next space after an "&" only move forward, so they
  // are remembered across the "&"s of a run instead of searched again.
  std::size_t semi = 0;
  std::size_t space = 0;
  while (pos < text.size()) {
    amp = text.find('&', pos);
    if (amp == std::string::npos) break;
    if (semi <= amp) semi = text.find(';', amp + 1);
    if (semi == std::string::npos) break;
    if (space <= amp) {
      space = text.find(' ', amp + 1);
      if (space == std::string::npos) space = text.size();
    }
    out.append(text, pos, amp - pos);
    if (semi < space) {
      out += ' ';
      pos = semi + 1;
    } else {
      out += '&';
      pos = amp + 1;
    }
  }
  if (pos < text.size()) out.append(text, pos, std::string::npos);
  text = std::move(out);
}

std::string RemoveEntityText(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  bool skipping = false;
  for (char c : text) {
    if (c == '&') {
      skipping = true;
    } else if (skipping && c == ';') {
      skipping = false;
    } else if (c == ' ') {
      skipping = false;
      kept += c;
    } else if (!skipping) {
      kept += c;
    }
  }
  // "  " becomes " " in a single left-to-right pass: four spaces give two.
  std::string out;
  out.reserve(kept.size());
  for (std::size_t i = 0; i < kept.size(); ++i) {
    out += kept[i];
    if (kept[i] == ' ' && i + 1 < kept.size() && kept[i + 1] == ' ') ++i;
  }
  return out;
}

void EncodeEntities(std::string& text) {
  const std::array<std::string_view, 256>& names = NamesByChar();
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    if (c == ' ') {
      out += c;
    } else if (c == kEmDash) {
      out += " &#8212; ";
    } else if (std::string_view name = names[static_cast<unsigned char>(c)];
               !name.empty()) {
      out.append(name);
    } else {
      out += c;
    }
  }
  text = std::move(out);
}

std::string EncodeQuotes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '"') {
      out += "&quot;";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace orvane
