#include "bench/known_item_queries.h"

#include <algorithm>
#include <random>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace orvane::bench {

namespace {

constexpr std::size_t kShortestWord = 3;
constexpr std::size_t kLongestWord = 20;
constexpr std::size_t kMostTitleWords = 3;

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' ||
         c == '\v';
}

// Characters that may stand before a word: blanks and opening punctuation.
bool OpensWord(char c) {
  return IsBlank(c) || std::string_view("([{\"`<").find(c) != std::string_view::npos;
}

// Characters that may stand after a word; a full stop only at the end of a
// sentence (before a blank or the end), so "os.path" is not two words.
bool ClosesWord(std::string_view text, std::size_t at) {
  char c = text[at];
  if (IsBlank(c)) return true;
  if (std::string_view(",;:!?)]}\"`>").find(c) != std::string_view::npos) {
    return true;
  }
  return c == '.' && (at + 1 == text.size() || IsBlank(text[at + 1]));
}

bool HasTripleLetter(std::string_view word) {
  for (std::size_t i = 2; i < word.size(); ++i) {
    if (word[i] == word[i - 1] && word[i] == word[i - 2]) return true;
  }
  return false;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[i]) != prefix[i]) return false;
  }
  return true;
}

// The position of needle (lower case) in text at or after from, ignoring
// the case of text; npos when absent.
std::size_t FindNoCase(std::string_view text, std::string_view needle,
                       std::size_t from) {
  for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
    if (StartsWithNoCase(text.substr(i), needle)) return i;
  }
  return std::string_view::npos;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Whether text begins with the start tag "<name" ("<head" but not
// "<header").
bool OpensElement(std::string_view text, std::string_view start) {
  return StartsWithNoCase(text, start) &&
         (text.size() == start.size() || text[start.size()] == '>' ||
          IsBlank(text[start.size()]));
}

// The text of a page outside its tags, with the head, scripts, styles and
// comments left out. A no-break space becomes a blank; any other character
// reference becomes a character that is neither a letter nor a word
// boundary, so a word written with one ("don&#8217;t") is not taken.
std::string PageText(std::string_view page) {
  std::string text;
  text.reserve(page.size());
  std::size_t i = 0;
  while (i < page.size()) {
    char c = page[i];
    if (c == '<') {
      std::string_view rest = page.substr(i);
      std::string_view end_marker = ">";
      if (rest.starts_with("<!--")) {
        end_marker = "-->";
      } else if (OpensElement(rest, "<head")) {
        end_marker = "</head";
      } else if (OpensElement(rest, "<script")) {
        end_marker = "</script";
      } else if (OpensElement(rest, "<style")) {
        end_marker = "</style";
      }
      std::size_t end = FindNoCase(page, end_marker, i + 1);
      if (end == std::string_view::npos) break;
      i = page.find('>', end);
      if (i == std::string_view::npos) break;
      ++i;
      text += ' ';
      continue;
    }
    if (c == '&') {
      std::size_t semicolon = page.find(';', i);
      if (semicolon != std::string_view::npos && semicolon - i <= 10) {
        text += page.substr(i, semicolon - i + 1) == "&nbsp;" ? ' ' : '\x01';
        i = semicolon + 1;
        continue;
      }
    }
    text += c;
    ++i;
  }
  return text;
}

DocumentText ReadPage(std::string_view page) {
  DocumentText document;
  std::size_t open = FindNoCase(page, "<title", 0);
  if (open != std::string_view::npos) {
    std::size_t start = page.find('>', open);
    std::size_t end = start == std::string_view::npos
                          ? std::string_view::npos
                          : FindNoCase(page, "</title", start);
    if (end != std::string_view::npos) {
      document.title = PageText(page.substr(start + 1, end - start - 1));
    }
  }
  document.body = PageText(page);
  return document;
}

DocumentText ReadMail(std::string_view mail) {
  DocumentText document;
  std::vector<std::string_view> lines = SplitLines(mail);
  std::size_t at = 0;
  for (; at < lines.size() && !lines[at].empty(); ++at) {
    if (document.title.empty() && StartsWithNoCase(lines[at], "subject:")) {
      std::string_view subject = Trim(lines[at].substr(8));
      while (StartsWithNoCase(subject, "re:")) subject = Trim(subject.substr(3));
      document.title = std::string(subject);
    }
  }
  for (++at; at < lines.size(); ++at) {
    document.body += lines[at];
    document.body += '\n';
  }
  return document;
}

// A line of one punctuation character repeated, that underlines a heading.
bool IsUnderline(std::string_view line) {
  line = Trim(line);
  if (line.size() < 3 ||
      std::string_view("=-~^*#+").find(line[0]) == std::string_view::npos) {
    return false;
  }
  return line.find_first_not_of(line[0]) == std::string_view::npos;
}

std::string TextTitle(const std::vector<std::string_view>& lines) {
  constexpr std::size_t kTitleLinesLooked = 50;
  const std::size_t looked = std::min(lines.size(), kTitleLinesLooked);
  for (std::size_t i = 0; i < looked; ++i) {
    if (lines[i].starts_with("title:")) return std::string(Trim(lines[i].substr(6)));
  }
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    std::string_view line = Trim(lines[i]);
    if (!line.empty() && !IsUnderline(line) && IsUnderline(lines[i + 1]) &&
        std::any_of(line.begin(), line.end(), IsAsciiLetter)) {
      return std::string(line);
    }
  }
  for (std::string_view line : lines) {
    line = Trim(line);
    if (line.starts_with("..") || line.starts_with("#!")) continue;
    if (!PlainWords(line).empty()) return std::string(line);
  }
  return std::string();
}

DocumentText ReadText(std::string_view text) {
  DocumentText document;
  document.title = TextTitle(SplitLines(text));
  document.body = std::string(text);
  return document;
}

// The distinct words of words that are not stop words, in first-seen order.
std::vector<std::string> DistinctWords(
    const std::vector<std::string>& words,
    const std::unordered_set<std::string>& stop_words) {
  std::vector<std::string> distinct;
  std::unordered_set<std::string> seen;
  for (const std::string& word : words) {
    if (stop_words.count(word) == 0 && seen.insert(word).second) {
      distinct.push_back(word);
    }
  }
  return distinct;
}

using DocumentFrequencies = std::unordered_map<std::string, int>;

int FrequencyOf(const DocumentFrequencies& frequencies, const std::string& word) {
  auto found = frequencies.find(word);
  return found == frequencies.end() ? 0 : found->second;
}

// The query of one file by the rule of MakeKnownItemQueries.
std::vector<std::string> QueryWords(const DocumentText& document,
                                    const DocumentFrequencies& frequencies,
                                    const std::unordered_set<std::string>& stop_words) {
  std::vector<std::string> title =
      DistinctWords(PlainWords(document.title), stop_words);
  // The rarest title words, kept in title order.
  std::vector<std::size_t> order(title.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return FrequencyOf(frequencies, title[a]) < FrequencyOf(frequencies, title[b]);
  });
  order.resize(std::min(order.size(), kMostTitleWords));
  std::sort(order.begin(), order.end());
  std::vector<std::string> query;
  for (std::size_t i : order) query.push_back(title[i]);

  std::unordered_map<std::string, int> counts;
  for (std::string& word : PlainWords(document.body)) {
    if (stop_words.count(word) == 0) ++counts[word];
  }
  const std::unordered_set<std::string> in_title(title.begin(), title.end());
  struct Candidate {
    int frequency;
    int count;
    std::string word;
  };
  std::vector<Candidate> rare;
  for (const auto& [word, count] : counts) {
    const int frequency = FrequencyOf(frequencies, word);
    if (frequency >= 2 && in_title.count(word) == 0) {
      rare.push_back(Candidate{frequency, count, word});
    }
  }
  std::sort(rare.begin(), rare.end(), [](const Candidate& a, const Candidate& b) {
    return std::tie(a.frequency, b.count, a.word) <
           std::tie(b.frequency, a.count, b.word);
  });
  const std::size_t rare_wanted = query.empty() ? 2 : 1;
  for (std::size_t i = 0; i < rare.size() && i < rare_wanted; ++i) {
    query.push_back(rare[i].word);
  }
  return query;
}

}  // namespace

DocumentKind KindOf(std::string_view relative_path) {
  std::size_t slash = relative_path.rfind('/');
  std::string_view name = slash == std::string_view::npos
                              ? relative_path
                              : relative_path.substr(slash + 1);
  std::size_t dot = name.rfind('.');
  std::string ending;
  if (dot != std::string_view::npos) {
    for (char c : name.substr(dot + 1)) ending += Lower(c);
  }
  if (ending == "html" || ending == "htm") return DocumentKind::kHtml;
  if (ending == "eml") return DocumentKind::kMail;
  return DocumentKind::kText;
}

std::string_view KindName(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::kHtml:
      return "HTML";
    case DocumentKind::kMail:
      return "mail";
    case DocumentKind::kText:
      return "text";
  }
  return "text";
}

DocumentText ReadDocumentText(std::string_view bytes, DocumentKind kind) {
  switch (kind) {
    case DocumentKind::kHtml:
      return ReadPage(bytes);
    case DocumentKind::kMail:
      return ReadMail(bytes);
    case DocumentKind::kText:
      return ReadText(bytes);
  }
  return ReadText(bytes);
}

std::vector<std::string> PlainWords(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    if (!IsAsciiLetter(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && IsAsciiLetter(text[end])) ++end;
    const std::size_t length = end - i;
    const bool opened = i == 0 || OpensWord(text[i - 1]);
    const bool closed = end == text.size() || ClosesWord(text, end);
    if (opened && closed && length >= kShortestWord && length <= kLongestWord) {
      std::string word;
      for (char c : text.substr(i, length)) word += Lower(c);
      if (!HasTripleLetter(word)) words.push_back(std::move(word));
    }
    i = end;
  }
  return words;
}

std::vector<KnownItemQuery> MakeKnownItemQueries(
    std::vector<std::string> files, const ReadFile& read,
    const std::unordered_set<std::string>& stop_words, int count,
    std::uint64_t seed) {
  std::sort(files.begin(), files.end());
  auto document_of = [&](const std::string& file) {
    std::string bytes;
    if (!read(file, &bytes)) bytes.clear();
    return ReadDocumentText(bytes, KindOf(file));
  };
  DocumentFrequencies frequencies;
  for (const std::string& file : files) {
    DocumentText document = document_of(file);
    std::vector<std::string> words = PlainWords(document.title);
    std::vector<std::string> body = PlainWords(document.body);
    words.insert(words.end(), body.begin(), body.end());
    for (const std::string& word : DistinctWords(words, stop_words)) {
      ++frequencies[word];
    }
  }

  // Drawn without repeats: a Fisher-Yates shuffle taken one step at a
  // time. The engine's output is fixed by the standard; the reduction to a
  // range is done here, as std::uniform_int_distribution differs between
  // libraries.
  std::mt19937_64 random(seed);
  std::vector<KnownItemQuery> queries;
  for (std::size_t i = 0;
       i < files.size() && queries.size() < static_cast<std::size_t>(count); ++i) {
    std::size_t pick = i + static_cast<std::size_t>(random() % (files.size() - i));
    std::swap(files[i], files[pick]);
    const std::string& file = files[i];
    std::vector<std::string> words =
        QueryWords(document_of(file), frequencies, stop_words);
    if (words.size() < 2) continue;
    queries.push_back(KnownItemQuery{file, KindOf(file), std::move(words)});
  }
  return queries;
}

std::string_view KnownItemQueryRule() {
  return "each query is up to 3 words of the file's title (those in the "
         "fewest files of the tree) and 1 word of its body found in the "
         "fewest files but in at least 2 (2 such words when the title has "
         "none); words are 3-20 ASCII letters between blanks or plain "
         "punctuation, the program's common words left out";
}

}  // namespace orvane::bench
