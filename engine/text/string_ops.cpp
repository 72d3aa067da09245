#include "engine/text/string_ops.h"

#include <algorithm>
#include <cstddef>
#include <unordered_set>

#include "engine/text/charset.h"

namespace orvane {

namespace {

// A 1-based start position as a 0-based index; positions below 1 count as 1.
std::size_t StartIndex(std::int32_t start_position) {
  return start_position > 1 ? static_cast<std::size_t>(start_position - 1) : 0;
}

bool InSet(char c, std::string_view set) {
  return set.find(c) != std::string_view::npos;
}

// The inclusive index range of a list operation, -1 standing for the list's
// bound; indexes outside the list are pulled into it. False when the range
// is empty.
bool ResolveRange(std::size_t list_size, int first_index, int last_index,
                  std::size_t* first, std::size_t* last) {
  if (list_size == 0) return false;
  *first = first_index < 0 ? 0 : static_cast<std::size_t>(first_index);
  *last = last_index < 0
              ? list_size - 1
              : std::min(static_cast<std::size_t>(last_index), list_size - 1);
  return *first <= *last;
}

}  // namespace

bool HasTripleChar(std::string_view text, int n) {
  if (n < 1 || text.size() < static_cast<std::size_t>(n)) return false;
  int run = 1;
  if (run >= n) return true;
  for (std::size_t i = 1; i < text.size(); ++i) {
    run = text[i] == text[i - 1] ? run + 1 : 1;
    if (run >= n) return true;
  }
  return false;
}

std::int32_t FindFirstCharOf(std::string_view text, std::int32_t start_position,
                             std::string_view set, std::int32_t* set_position) {
  if (set_position != nullptr) *set_position = 0;
  if (text.empty() || set.empty()) return 0;
  for (std::size_t i = StartIndex(start_position); i < text.size(); ++i) {
    std::size_t k = set.find(text[i]);
    if (k != std::string_view::npos) {
      if (set_position != nullptr)
        *set_position = static_cast<std::int32_t>(k + 1);
      return static_cast<std::int32_t>(i + 1);
    }
  }
  return 0;
}

std::int32_t FindFirstCharNotIn(std::string_view text,
                                std::int32_t start_position,
                                std::string_view set) {
  for (std::size_t i = StartIndex(start_position); i < text.size(); ++i) {
    if (!InSet(text[i], set)) return static_cast<std::int32_t>(i + 1);
  }
  return 0;
}

std::string RemoveChars(std::string_view text, std::string_view set,
                        std::int32_t start_position) {
  std::size_t start = std::min(StartIndex(start_position), text.size());
  std::string out(text.substr(0, start));
  out.reserve(text.size());
  for (std::size_t i = start; i < text.size(); ++i) {
    if (!InSet(text[i], set)) out.push_back(text[i]);
  }
  return out;
}

std::string RemoveSpaces(std::string_view text) {
  return RemoveChars(text, " ", 1);
}

void ReplaceCharsOf(std::string& text, std::string_view set,
                    std::string_view replacement) {
  if (set.empty()) return;
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (InSet(c, set)) {
      out.append(replacement);
    } else {
      out.push_back(c);
    }
  }
  text = std::move(out);
}

void StripTrailing(std::string& text, std::string_view suffix) {
  if (suffix.empty()) return;  // nothing to strip, and no endless loop
  while (text.size() >= suffix.size() &&
         std::string_view(text).substr(text.size() - suffix.size()) == suffix) {
    text.resize(text.size() - suffix.size());
  }
}

void AddTrailingBackslash(std::string& path) {
  if (path.empty()) return;
  while (!path.empty() && path.back() == '/') path.pop_back();
  path.push_back('/');
}

void NormaliseWhitespace(std::string& text) {
  // Backspaces go first, so a CR and an LF that only a backspace kept apart
  // still make one pair; a CR LF pair then becomes one CR, which like TAB,
  // LF, form feed and the no-break space becomes a space.
  std::erase(text, '\b');
  std::size_t out = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    switch (static_cast<unsigned char>(c)) {
      case '\t':
      case '\n':
      case '\f':
      case '\r':
      case 160:
        c = ' ';
        break;
      default:
        break;
    }
    text[out++] = c;
  }
  text.resize(out);
}

void ReplaceUtf8Punctuation(std::string& text) {
  // Every sequence is E2 80 and one byte that is never E2, so the matches
  // cannot overlap and the replacements (plain ASCII) cannot form new ones:
  // one pass gives the same text as replacing the sequences one by one.
  struct Punctuation {
    unsigned char last_byte;
    std::string_view replacement;
  };
  static constexpr Punctuation kTable[] = {
      {0x98, "'"},    // left single quotation mark
      {0x99, "'"},    // right single quotation mark
      {0x9C, "\""},   // left double quotation mark
      {0x9D, "\""},   // right double quotation mark
      {0x90, "-"},    // hyphen
      {0x93, "-"},    // en dash
      {0x94, "--"},   // em dash
      {0xA6, "..."},  // horizontal ellipsis
      {0xA2, " . "},  // bullet
  };
  std::size_t first = text.find('\xE2');
  if (first == std::string::npos) return;
  std::string out(text, 0, first);
  out.reserve(text.size());
  for (std::size_t i = first; i < text.size(); ++i) {
    if (text[i] == '\xE2' && i + 2 < text.size() && text[i + 1] == '\x80') {
      unsigned char last = static_cast<unsigned char>(text[i + 2]);
      const Punctuation* match = nullptr;
      for (const Punctuation& p : kTable) {
        if (p.last_byte == last) match = &p;
      }
      if (match != nullptr) {
        out.append(match->replacement);
        i += 2;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  text = std::move(out);
}

std::string FirstWord(std::string_view text) {
  return std::string(text.substr(0, text.find(' ')));
}

std::string ShortenForDisplay(std::string_view text, int max_length) {
  if (max_length < 10 || text.size() <= static_cast<std::size_t>(max_length)) {
    return std::string(text);
  }
  std::string_view tail = text.substr(text.size() - (max_length - 6));
  std::size_t space = tail.find(' ');
  if (space != std::string_view::npos) tail.remove_prefix(space + 1);
  std::string out(text.substr(0, 3));
  out += "...";
  out += tail;
  return out;
}

void RemoveDuplicateEntries(std::vector<std::string>& list, bool ignore_case,
                            int first_index, int last_index) {
  std::size_t first, last;
  if (!ResolveRange(list.size(), first_index, last_index, &first, &last)) {
    return;
  }
  // An entry goes when an earlier entry of the range equals it; walking
  // forward with the keys seen so far gives the same as comparing each entry
  // with all before it, in one pass.
  std::unordered_set<std::string> seen;
  for (std::size_t i = first; i <= last; ++i) {
    std::string& entry = list[i];
    if (entry.empty()) continue;
    std::string key = ignore_case ? LowerCaseText(entry) : entry;
    if (!seen.insert(std::move(key)).second) entry.clear();
  }
}

int RemoveEmptyEntries(std::vector<std::string>& list, int first_index,
                       int last_index, bool shrink) {
  std::size_t first, last;
  if (!ResolveRange(list.size(), first_index, last_index, &first, &last)) {
    return -1;
  }
  std::size_t write = first;
  for (std::size_t i = first; i <= last; ++i) {
    if (list[i].empty()) continue;
    if (i != write) {
      list[write] = std::move(list[i]);
      list[i].clear();
    }
    ++write;
  }
  if (write == first) return -1;
  // Only a range that reaches the end of the list is cut: the entries after
  // a shorter range are not the operation's to drop.
  if (shrink && last == list.size() - 1) list.resize(write);
  return static_cast<int>(write - 1);
}

std::string TrimSpaces(std::string_view text) {
  return std::string(TrimSpacesView(text));
}

std::string_view TrimSpacesView(std::string_view text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  std::size_t end = text.find_last_not_of(' ');
  return text.substr(begin, end - begin + 1);
}

std::string CollapseSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out.push_back(c);
  }
  return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from,
                       std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(from, pos)) != std::string_view::npos;
       pos = hit + from.size()) {
    out.append(text.substr(pos, hit - pos));
    out.append(to);
  }
  out.append(text.substr(pos));
  return out;
}

std::string ReplaceRepeatedly(std::string_view text, std::string_view from,
                              std::string_view to) {
  std::string out(text);
  if (from.empty()) return out;
  // A replacement that holds the text it replaces would never run out of
  // occurrences; it gets the single pass instead.
  if (to.find(from) != std::string_view::npos)
    return ReplaceAll(text, from, to);
  while (out.find(from) != std::string::npos) out = ReplaceAll(out, from, to);
  return out;
}

std::vector<std::string> SplitTrimmedLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) end = text.size();
    std::string piece = TrimSpaces(text.substr(begin, end - begin));
    if (!piece.empty()) lines.push_back(std::move(piece));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
        text[end + 1] == '\n') {
      ++end;
    }
    begin = end + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) joined += "\r\n";
    joined += lines[i];
  }
  return joined;
}

}  // namespace orvane
