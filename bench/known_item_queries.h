// Known-item queries for the ranking benchmark: files drawn at random
// with a fixed seed from a tree, and for each the few words a person would
// type to find it again (words of its title, and a word that is rare in
// the tree but present in the file). The same tree, seed and stop words
// give the same queries on every machine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace orvane::bench {

// The three parts of the benchmark tree the figures are given for.
enum class DocumentKind { kHtml, kMail, kText };

// By the file name's ending: .html and .htm pages, .eml mail, the rest text.
DocumentKind KindOf(std::string_view relative_path);

// "HTML", "mail" or "text".
std::string_view KindName(DocumentKind kind);

// What a person sees of a file: its title (an HTML page's <title>, a mail's
// Subject without "Re: ", a text file's underlined heading or "title:"
// line, else its first line with a word) and the text of its body (markup,
// scripts and mail headers left out).
struct DocumentText {
  std::string title;
  std::string body;
};

DocumentText ReadDocumentText(std::string_view bytes, DocumentKind kind);

// The words of text that every search program compared sees as a word:
// runs of 3 to 20 ASCII letters, lower-cased, standing between blanks or
// plain punctuation (a run joined to a digit, "_", "-", "'", "." or
// another letter is left out, as programs split such runs differently),
// without three equal letters in a row. In text order, repeats included.
std::vector<std::string> PlainWords(std::string_view text);

struct KnownItemQuery {
  std::string relative_path;
  DocumentKind kind;
  std::vector<std::string> words;
};

// Reads the file at a relative path; false when it cannot be read.
using ReadFile = std::function<bool(const std::string& relative_path,
                                    std::string* bytes)>;

// The queries, one per drawn file, count of them at most (fewer when the
// files run out). The files are drawn without repeats from files (sorted
// by byte order first) by a 64-bit Mersenne Twister seeded with seed. A
// file's query is, in this order:
//   - up to three words of its title, those found in the fewest files of
//     the tree (in title order);
//   - one word of its body that is not in its title, found in the fewest
//     files of the tree but in at least two (among those, the word the
//     file holds most often, then by the word's characters); two such
//     words when the title gave none.
// Words are PlainWords of title and body, stop words left out. A file
// with fewer than two query words is passed over and another is drawn.
// Every file of files is read once, to count in how many files each word
// stands; a file that cannot be read has no words.
std::vector<KnownItemQuery> MakeKnownItemQueries(
    std::vector<std::string> files, const ReadFile& read,
    const std::unordered_set<std::string>& stop_words, int count,
    std::uint64_t seed);

// The rule above in a sentence, for the benchmark's output.
std::string_view KnownItemQueryRule();

}  // namespace orvane::bench
