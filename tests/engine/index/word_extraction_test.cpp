#include "engine/index/word_extraction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using Words = std::vector<std::string>;

class NoStop : public ExtractionObserver {
 public:
  bool AfterLine() override {
    ++lines;
    return true;
  }
  int lines = 0;
};

class WordExtractionTest : public ::testing::Test {
 protected:
  WordExtractionTest() : extractor_(&common_, &lexicon_) {
    extractor_.StartWordExtraction();
    extractor_.set_exclude_special_letters(false);
  }

  // "abab...": a word of the given length without three equal characters.
  static std::string Ab(int length) {
    std::string word;
    for (int i = 0; i < length; ++i) word += i % 2 ? 'b' : 'a';
    return word;
  }

  // The words of the lines, read as one file, in order of first appearance.
  std::vector<std::string> WordsOf(const std::vector<std::string>& lines) {
    extractor_.StartWordExtraction();
    extractor_.StartFile();
    for (const std::string& line : lines) {
      if (!extractor_.ProcessLine(line)) break;
    }
    return Lexicon();
  }

  std::vector<std::string> Lexicon() const {
    std::vector<std::string> words;
    for (std::int32_t n = 1; n <= lexicon_.word_count(); ++n) {
      words.emplace_back(lexicon_.word(n));
    }
    return words;
  }

  CommonWords common_;
  orvane::Lexicon lexicon_;
  WordExtractor extractor_;
};

TEST_F(WordExtractionTest, CutsLinesIntoWords) {
  struct Row {
    std::vector<std::string> lines;
    Words words;
  } rows[] = {
      {{" Hello, World! 2024"}, {"hello", "world", "2024"}},
      {{"well-known e-mail"}, {"well", "known", "e", "mail"}},
      {{"don't go"}, {"don", "t", "go"}},
      {{"file_name.txt"}, {"file", "name", "txt"}},
      {{"1000 aaa www 100 aa"}, {"100", "aa"}},  // three in a row: dropped
      // Anywhere in the word, of any letter; two pairs are kept.
      {{"xaaay abccc aabbcc abcabc aabaa"}, {"aabbcc", "abcabc", "aabaa"}},
      {{"\xE9\xE9\xE9t \xE9t\xE9 zz"}, {"\xE9t\xE9", "zz"}},
      {{Ab(61) + " " + Ab(60) + " done"},
       {Ab(60), "done"}},  // 61 characters: dropped whole
      {{"M\xFCller M\xDCLLER"}, {"m\xFCller"}},
      {{"\x9Cuvre 2\xD7" "3 cm"}, {"uvre", "2", "3", "cm"}},  // œ, × split
      {{"x<b>bold</b>y"}, {"x", "bold", "y"}},  // y follows a tag skip
      {{"item a"}, {"item"}},  // the last character ends the scan
      {{"<p>Some text</p>", "next line"}, {"some", "text", "next", "line"}},
      {{"a <b", "c> dog"}, {"a", "dog"}},  // an open tag goes on
      {{"caf&eacute; au"}, {"caf\xE9", "au"}},
      {{"caf&#233; au"}, {"caf", "au"}},  // not in the table: a space
      {{"AT&amp;T phones"}, {"at", "t", "phones"}},
      {{"tab\there\x0C" "ff"}, {"tab", "here", "ff"}},
      {{"Subject: hi there",
        "Content-Transfer-Encoding: base64", "aGVsbG8gd29ybGQ="},
       {"subject", "hi", "there"}},
      {{"  C o n t e n t - T r a n s f e r - E n c o d i n g : base64",
        "after"},
       {}},
      {{"", "   ", "x y"}, {"x"}},
      // UTF-8 sequences are decoded before the line is lower-cased (issue
      // 14): C3 89 is "É", not "Ã" and a stray byte.
      {{"Caf\xC3\xA9 \xC3\x89T\xC3\x89 M\xC3\x9CLLER"},
       {"caf\xE9", "\xE9t\xE9", "m\xFCller"}},
      {{"\xEF\xBB\xBF" "First w\xC3\xB6rd"}, {"first", "w\xF6rd"}},  // a mark
      {{"na\xC3\xAFve\xE2\x80\x99s \xE2\x80\x9Cquote\xE2\x80\x9D x"},
       {"na\xEFve", "s", "quote"}},
      {{"a\xC2\xA0" "b\xE2\x80\x94" "c \xD0\xB6" "ar"}, {"a", "b", "c", "ar"}},
      // Windows-1252 text stays as it is; a sequence cut by the line end
      // stays as its bytes.
      {{"caf\xE9 \xC9t\xE9 caf\xC3", "\xA9 x"}, {"caf\xE9", "\xE9t\xE9", "caf\xE3"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(WordsOf(row.lines), row.words) << row.lines[0];
  }
}

TEST_F(WordExtractionTest, SpecialLettersExcludeWordsOnlyWhenAsked) {
  extractor_.set_exclude_special_letters(true);
  EXPECT_EQ(WordsOf({"M\xFCller strasse stra\xDF" "e \xE6rlig"}),
            (Words{"strasse", "stra\xDF" "e"}));  // ß is not special
  extractor_.set_exclude_special_letters(false);
  EXPECT_EQ(WordsOf({"M\xFCller strasse stra\xDF" "e \xE6rlig"}),
            (Words{"m\xFCller", "strasse", "stra\xDF" "e", "\xE6rlig"}));
}

TEST_F(WordExtractionTest, WithoutMarkersNothingIsSkipped) {
  extractor_.StartWordExtraction();
  extractor_.SetTagMarkers("none");
  extractor_.StartFile();
  extractor_.ProcessLine("x<b>y z");
  EXPECT_EQ(Lexicon(), (Words{"x", "b", "y"}));
}

TEST_F(WordExtractionTest, CommonWordsCountOncePerFile) {
  common_.SetWords({"and", "the"});
  extractor_.StartWordExtraction();
  extractor_.StartFile();
  for (int i = 0; i < 10; ++i) extractor_.ProcessLine("the cat and the hat");
  EXPECT_EQ(lexicon_.CountInFile("the"), 1);
  EXPECT_EQ(lexicon_.CountInFile("and"), 1);
  EXPECT_EQ(lexicon_.CountInFile("cat"), 10);
  extractor_.StartFile();
  extractor_.ProcessLine("the the");
  EXPECT_EQ(lexicon_.CountInFile("the"), 1);
}

TEST_F(WordExtractionTest, ReadsLfAndCrLfFilesAlikeAndClearsTheTagAtEachFile) {
  testing::TempDir dir;
  std::string text = "First line a\nSecond <i>line</i>\n\nThird b <open";
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  NoStop observer;
  std::vector<Words> results;
  for (auto [name, bytes, lf] :
       {std::tuple{"lf.txt", text, true}, std::tuple{"crlf.txt", crlf, false}}) {
    extractor_.StartWordExtraction();
    extractor_.StartFile();
    ASSERT_TRUE(
        extractor_.ExtractFileWords(dir.Write(name, bytes), lf, &observer)
            .ok());
    // The file ended inside "<open": the next file starts outside a tag.
    extractor_.StartFile();
    ASSERT_TRUE(extractor_
                    .ExtractFileWords(dir.Write("next.txt", "next one"), false,
                                      &observer)
                    .ok());
    results.push_back(Lexicon());
  }
  EXPECT_EQ(results[0], (Words{"first", "line", "second", "third", "b",
                               "next", "one"}));
  EXPECT_EQ(results[1], results[0]);
  Result<WordExtractor::FileResult> gone =
      extractor_.ExtractFileWords(dir.Path("gone.txt"), false, &observer);
  ASSERT_TRUE(gone.ok());
  EXPECT_EQ(*gone, WordExtractor::FileResult::kVanished);
}

// A UTF-16 file gives the words of its text; what it holds is not decoded
// once more as UTF-8 ("\xC3\xA9" in it are the two characters they are).
TEST_F(WordExtractionTest, ReadsUtf16Files) {
  testing::TempDir dir;
  const std::string le = std::string("\xFF\xFE") +
      std::string("C\0" "a\0" "f\0" "\xE9\0" " \0" "\xC3\0" "\xA9\0" "t\0"
                  "\n\0" "x\0" "y\0", 22);
  std::string be;
  for (std::size_t i = 0; i < le.size(); i += 2) {
    be += le[i + 1];
    be += le[i];
  }
  NoStop observer;
  for (const std::string& bytes : {le, be}) {
    extractor_.StartWordExtraction();
    extractor_.StartFile();
    ASSERT_TRUE(
        extractor_.ExtractFileWords(dir.Write("u.txt", bytes), true, &observer)
            .ok());
    EXPECT_EQ(Lexicon(), (Words{"caf\xE9", "\xE3", "xy"}));
  }
}

}  // namespace
}  // namespace orvane
