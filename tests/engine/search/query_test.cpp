#include "engine/search/query.h"

#include <gtest/gtest.h>

#include "engine/search/classic_store_reader.h"
#include "tests/engine/search/index_fixture.h"

namespace orvane::testing {
namespace {

// A loaded lexicon without a file: the query check reads only the words.
LoadedIndex LexiconOf(const std::vector<std::string>& words) {
  ClassicIndex classic;
  std::vector<std::string> sorted = words;
  std::sort(sorted.begin(), sorted.end());
  for (const std::string& w : sorted) {
    SearchLexiconEntry e;
    e.word_offset = static_cast<std::uint32_t>(classic.lexicon_words.size());
    e.word_length = static_cast<std::uint32_t>(w.size());
    e.lngWordNumber = static_cast<std::int32_t>(classic.lexicon.size()) + 1;
    classic.lexicon.push_back(e);
    classic.lexicon_words += w;
  }
  classic.lngNumWords = static_cast<std::int32_t>(words.size());
  LoadedIndex index;
  index.Use(std::make_unique<ClassicStoreReader>(std::move(classic), ""));
  return index;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
  return out;
}

TEST(QueryTest, CharacterCheckRefusesOnlyWhatNoIndexCanHold) {
  for (const char* admitted :
       {"", "Caf\xC3\xA9 na\xC3\xAFve* \xC5\x93uvre", "abc1", "well-known",
        "don't", "a.b", "a\"", "\t",
        "2\xC3\x97"
        "3 \xE2\x82\xAC"}) {
    EXPECT_TRUE(CheckSearchWordCharacters(admitted)) << admitted;
  }
  for (const char* refused : {"\xD0\xB6uk" /* Cyrillic zhe */,
                              "x \xE6\x97\xA5" /* a CJK character */}) {
    EXPECT_FALSE(CheckSearchWordCharacters(refused)) << refused;
  }
}

// The words of a typed text are the words indexing takes from the same
// line: letters and digits, lower-cased; every other character separates.
TEST(QueryTest, SplitsAsIndexingDoes) {
  struct Row {
    const char* typed;  // content (Windows-1252)
    const char* words;  // joined by blanks
  } rows[] = {
      {"ipv6 2023 UTF8", "ipv6 2023 utf8"},  // digits were refused once
      {"git-commit 2.0", "git commit 2 0"},
      {"don't well-known", "don t well known"},
      {"file_name.txt", "file name txt"},
      {"2\xD7"
       "3 cm",
       "2 3 cm"},                          // the multiplication sign
      {"\x9Cuvre", "uvre"},                // oe is no word character
      {"\x9F\xC9T\xC9", "\xFF\xE9t\xE9"},  // lower-cased first, then split
      {"  Hello,World!  ", "hello world"},
      {"ab1* x2*", "ab1* x2*"},  // a stem may end in a digit
      {"a-*", "a"},              // the asterisk follows no word
      {"", ""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Joined(SplitSearchWords(r.typed)), r.words) << r.typed;
  }
}

TEST(QueryTest, MisplacedAsterisks) {
  struct Row {
    const char* text;
    bool misplaced;
  } rows[] = {
      {"abc*", false},
      {"abc* def*", false},
      {"abc *", false},
      {"*abc", true},
      {"ab*c", true},
      {"abc ** x", true},
      {"ab**", false},  // the scan ends at the last character
      {"a *b", true},
      {"*", true},
      // Digits are word characters.
      {"ab1*", false},
      {"ab*1", true},
      {"ab-* x", true},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(HasMisplacedAsterisk(r.text), r.misplaced) << r.text;
  }
}

// Every CheckQuery case: the words that go to the search, or the message
// and the search type afterwards.
TEST(QueryTest, CheckQueryTable) {
  const LoadedIndex index =
      LexiconOf({"apple", "apricot", "banana", "band", "bandit", "cherry"});
  struct Row {
    const char* typed;
    SearchType type;
    QueryCheck result;
    const char* words;  // joined by blanks
    const char* message;
    SearchType type_after;
  } rows[] = {
      {"Banana  CHERRY", SearchType::kAllWords, QueryCheck::kSearch,
       "banana cherry", "", SearchType::kAllWords},
      // Repeats in other letter cases: one word, unless it is a phrase.
      {"band Band BAND", SearchType::kAllWords, QueryCheck::kSearch, "band", "",
       SearchType::kAllWords},
      {"band Band BAND", SearchType::kExactPhrase, QueryCheck::kSearch,
       "band band band", "", SearchType::kExactPhrase},
      {"ap*", SearchType::kAnyWord, QueryCheck::kSearch, "apple apricot", "",
       SearchType::kAnyWord},
      // Expansions are appended after the typed words, duplicates dropped.
      {"band* apple", SearchType::kAnyWord, QueryCheck::kSearch,
       "band apple bandit", "", SearchType::kAnyWord},
      // A stem without a match is dropped; the other words stay.
      {"zz* cherry", SearchType::kAnyWord, QueryCheck::kSearch, "cherry", "",
       SearchType::kAnyWord},
      {"zz* qq*", SearchType::kAnyWord, QueryCheck::kNoStemMatch, "", "",
       SearchType::kAnyWord},
      // A lone asterisk after a blank belongs to no word.
      {"cherry *", SearchType::kAnyWord, QueryCheck::kSearch, "cherry", "",
       SearchType::kAnyWord},
      {"ap*", SearchType::kAllWords, QueryCheck::kRefused, "",
       "Stems in search words are permitted only in 'Any word' searches.\r\n"
       "The search type will now be changed to this type.",
       SearchType::kAnyWord},
      {"a*pple", SearchType::kAnyWord, QueryCheck::kRefused, "",
       "An asterisk can occur only at the end of a search word.",
       SearchType::kAnyWord},
      {"*apple", SearchType::kAnyWord, QueryCheck::kRefused, "",
       "An asterisk can occur only at the end of a search word.",
       SearchType::kAnyWord},
      {"   ", SearchType::kAllWords, QueryCheck::kRefused, "",
       "No words given.", SearchType::kAllWords},
      {"", SearchType::kAllWords, QueryCheck::kRefused, "", "No words given.",
       SearchType::kAllWords},
      {"apple B*", SearchType::kAnyWord, QueryCheck::kRefused, "",
       "The stem 'b*' is too short.\r\nA stem must have at least two letters.",
       SearchType::kAnyWord},
      // Separators no longer refuse the query.
      {"Apple-banana.", SearchType::kAllWords, QueryCheck::kSearch,
       "apple banana", "", SearchType::kAllWords},
      {"band-", SearchType::kExactPhrase, QueryCheck::kSearch, "band", "",
       SearchType::kExactPhrase},
      {"--- ...", SearchType::kAllWords, QueryCheck::kRefused, "",
       "No words given.", SearchType::kAllWords},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.typed);
    SearchFixture f;
    f.settings().txbSearchWords = r.typed;
    f.settings().cboSearchType = r.type;
    std::vector<std::string> words;
    EXPECT_EQ(CheckQuery(&f.settings(), index, f.module.ports(), "Window",
                         &words),
              r.result);
    if (r.result == QueryCheck::kSearch) {
      EXPECT_EQ(Joined(words), r.words);
    }
    std::string message =
        f.prompter.boxes().empty() ? "" : f.prompter.boxes()[0].text;
    EXPECT_EQ(message, r.message);
    EXPECT_EQ(f.settings().cboSearchType, r.type_after);
  }
}

TEST(QueryTest, StemExpandingToTooManyWordsIsRefused) {
  std::vector<std::string> words;
  for (int i = 0; i < 40000; ++i) words.push_back("ab" + std::to_string(100000 + i));
  const LoadedIndex index = LexiconOf(words);
  SearchFixture f;
  f.settings().txbSearchWords = "ab*";
  f.settings().cboSearchType = SearchType::kAnyWord;
  std::vector<std::string> found;
  EXPECT_EQ(CheckQuery(&f.settings(), index, f.module.ports(), "W", &found),
            QueryCheck::kRefused);
  EXPECT_EQ(f.Messages(),
            "[Invalid input] The stem 'ab*' matches too many words.\r\n"
            "A search can use at most 32,766 words.\n");
}

}  // namespace
}  // namespace orvane::testing
