#include "bench/known_item_queries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace orvane::bench {
namespace {

// A small tree in memory, with the words each file shares worked out:
// zebra, crossing and quagga stand in 4 files each, seen in 2, the rest
// in 1.
const std::map<std::string, std::string> kTree = {
    {"a/page.html",
     "<html><head><title>Zebra Crossing Guide Quagga</title>"
     "<style>p { color: red }</style></head><body>"
     "<script>var hidden = 1;</script><p>Zebra crossing rules &amp; "
     "facts&#8217;s</p><!-- secret --></body></html>"},
    {"b/note.txt",
     ".. comment line\n\nQuagga Notes\n============\n\n"
     "The quagga lived once. Zebra too.\n"},
    {"c/message.eml",
     "From: Ada <ada@example.org>\r\nSubject: Re: Re: Quagga sightings\r\n"
     "\r\nHi,\r\nquagga seen near zebra crossing.\r\n"},
    {"d/digits.txt", "12 34\n"},
    {"e/binding.yaml",
     "# Copyright\ntitle: Zebra Binding\nproperties:\n  zebra crossing\n"},
    {"f/plain.txt", "The and the\nquagga quagga crossing seen\n"},
};

const std::unordered_set<std::string> kStopWords = {"and", "the", "too"};

std::vector<KnownItemQuery> Queries(std::vector<std::string> files, int count,
                                    std::uint64_t seed) {
  return MakeKnownItemQueries(
      std::move(files),
      [](const std::string& path, std::string* bytes) {
        auto found = kTree.find(path);
        if (found == kTree.end()) return false;
        *bytes = found->second;
        return true;
      },
      kStopWords, count, seed);
}

std::vector<std::string> TreeFiles() {
  std::vector<std::string> files;
  for (const auto& [path, bytes] : kTree) files.push_back(path);
  return files;
}

// "path kind: words" a line, for whole-output comparison.
std::string Render(const std::vector<KnownItemQuery>& queries) {
  std::string text;
  for (const KnownItemQuery& q : queries) {
    text += q.relative_path + " " + std::string(KindName(q.kind)) + ":";
    for (const std::string& w : q.words) text += " " + w;
    text += "\n";
  }
  return text;
}

TEST(KnownItemQueriesTest, GivesEachUsableFileItsTitleAndRareWords) {
  std::vector<KnownItemQuery> queries = Queries(TreeFiles(), 10, 1);
  std::sort(queries.begin(), queries.end(),
            [](const KnownItemQuery& a, const KnownItemQuery& b) {
              return a.relative_path < b.relative_path;
            });
  EXPECT_EQ(Render(queries),
            // The three rarest title words in title order; "quagga" is in
            // the title, so no body word is left with 2 files or more.
            "a/page.html HTML: zebra crossing guide\n"
            "b/note.txt text: quagga notes zebra\n"
            // "seen" (2 files) before "zebra" and "crossing" (4).
            "c/message.eml mail: quagga sightings seen\n"
            // d/digits.txt has no words and is passed over.
            "e/binding.yaml text: zebra binding crossing\n"
            // No title words: two body words, "quagga" (twice in the file)
            // before "crossing" (once), both in 4 files.
            "f/plain.txt text: seen quagga\n");
}

TEST(KnownItemQueriesTest, DrawsTheSameFilesInTheSameOrderEverywhere) {
  const std::string first = Render(Queries(TreeFiles(), 10, 1));
  std::vector<std::string> reversed = TreeFiles();
  std::reverse(reversed.begin(), reversed.end());
  EXPECT_EQ(Render(Queries(reversed, 10, 1)), first);
  // The order the 64-bit Mersenne Twister seeded with 1 gives: a change of
  // generator or of its reduction to a range (std::uniform_int_distribution
  // differs between libraries) would draw other files from a real tree.
  std::string order;
  for (const KnownItemQuery& q : Queries(TreeFiles(), 10, 1)) {
    order += q.relative_path + " ";
  }
  EXPECT_EQ(order,
            "c/message.eml e/binding.yaml b/note.txt a/page.html f/plain.txt ");
  // Fewer queries are the first of the same draw.
  std::vector<KnownItemQuery> two = Queries(TreeFiles(), 2, 1);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].relative_path, "c/message.eml");
  EXPECT_EQ(two[1].relative_path, "e/binding.yaml");
}

TEST(KnownItemQueriesTest, ReadsTitleAndBodyOfEachKind) {
  struct Row {
    const char* path;
    const char* bytes;
    const char* title;
    const char* body;
  };
  const Row rows[] = {
      // The head, scripts, styles and comments are not body text; a
      // <header> is.
      {"x.HTM",
       "<HEAD><TITLE>T &amp; U</TITLE></HEAD><header>top</header>"
       "<SCRIPT>s</SCRIPT>a<style>c</style>b<!-- <p>x</p> -->c&nbsp;d",
       "T \x01 U", "  top  a b c d"},
      {"m.eml", "Subject: RE: re:  Hello\nTo: x\n\nbody\nend", "Hello",
       "body\nend\n"},
      // Mail without a subject or a body.
      {"n.eml", "From: x\n", "", ""},
      // A "title:" line wins over an underlined heading.
      {"b.yaml", "Head\n====\ntitle: Yaml title\n", "Yaml title",
       "Head\n====\ntitle: Yaml title\n"},
      // The underlined heading, with CR LF line ends.
      {"r.rst", ".. SPDX\r\n\r\n  Heading one \r\n-----------\r\n", "Heading one",
       ".. SPDX\r\n\r\n  Heading one \r\n-----------\r\n"},
      // Else the first line with a word, comments and #! passed over.
      {"s", "#!/bin/sh\n.. note\n\nfirst words here\nmore\n", "first words here",
       "#!/bin/sh\n.. note\n\nfirst words here\nmore\n"},
  };
  for (const Row& row : rows) {
    DocumentText text = ReadDocumentText(row.bytes, KindOf(row.path));
    EXPECT_EQ(text.title, row.title) << row.path;
    EXPECT_EQ(text.body, row.body) << row.path;
  }
}

TEST(KnownItemQueriesTest, TakesOnlyWordsEveryProgramSeesAsWords) {
  struct Row {
    const char* text;
    std::vector<std::string> words;
  };
  const Row rows[] = {
      {"Hello, World! (said) \"she\" <to> [him]; `ok` end.",
       {"hello", "world", "said", "she", "him", "end"}},
      // Joined to a digit, "_", "-", "'", or a full stop inside a name.
      {"abc1 2abc foo_bar well-known don't os.path", {}},
      // 3 to 20 letters, without three equal letters in a row.
      {"ab abc abcdefghijklmnopqrst abcdefghijklmnopqrstu zzz bookkeeper",
       {"abc", "abcdefghijklmnopqrst", "bookkeeper"}},
      // Letters outside ASCII end a word and join it to the next.
      {"caf\xe9 na\xefve x\xe9yz", {}},
      // "/" opens no word: only the scheme of an address is one.
      {"see: http://host/path.", {"see", "http"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(PlainWords(row.text), row.words) << row.text;
  }
}

}  // namespace
}  // namespace orvane::bench
