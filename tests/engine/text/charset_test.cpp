#include "engine/text/charset.h"

#include <gtest/gtest.h>

#include <set>

#include "engine/common/cp1252.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::Visible;

// The content form of a text written readably here in UTF-8.
std::string C(std::string_view utf8) { return DisplayToContent(utf8).value(); }

constexpr std::string_view kUpper =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZŠŒŸÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞ";
constexpr std::string_view kLower =
    "abcdefghijklmnopqrstuvwxyzšœÿàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþß";

TEST(CharsetTest, TablesHoldTheirLettersAsSingleBytes) {
  EXPECT_EQ(kUpperCaseLetters, C(kUpper));
  EXPECT_EQ(kLowerCaseLetters, C(kLower));
  EXPECT_EQ(kSpecialLetters,
            C("ŠŸÀÁÂÃÄÅÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝšÿàáâãäåçèéêëìíîïñòóôõöøùúûüý"));
  EXPECT_EQ(kExtraSpecialLetters, C("æðþ"));
  EXPECT_EQ(kExpandedLetters, C("ŒÄÆÖÜäæöüß"));
  EXPECT_EQ(kUpperCaseLetters.size(), 59u);
  EXPECT_EQ(kLowerCaseLetters.size(), 60u);
}

// Each letter alone (a text without special letters for Æ, Œ, Þ and the
// plain letters) and all of them together (a text with special letters) must
// fold to the same partner.
TEST(CharsetTest, CaseFoldsEveryLetterBothWays) {
  const std::string upper = C(kUpper);
  const std::string lower = C(kLower);
  EXPECT_EQ(Visible(LowerCaseText(upper)), Visible(lower.substr(0, 59)));
  EXPECT_EQ(Visible(UpperCaseText(lower)), Visible(upper + "\xDF"));
  for (std::size_t i = 0; i < upper.size(); ++i) {
    std::string u(1, upper[i]);
    std::string l(1, lower[i]);
    EXPECT_EQ(Visible(LowerCaseText(u)), Visible(l)) << Visible(u);
    EXPECT_EQ(Visible(UpperCaseText(l)), Visible(u)) << Visible(l);
  }
  EXPECT_EQ(LowerCaseText(C("ÀÉÎ ABC")), C("àéî abc"));
  EXPECT_EQ(UpperCaseText(C("straße")), C("STRAßE"));
}

TEST(CharsetTest, ZCaronFoldsOnlyInTextsWithoutSpecialLetters) {
  EXPECT_EQ(LowerCaseText(C("ŽABA")), C("žaba"));
  EXPECT_EQ(LowerCaseText(C("ŽÉ")), C("Žé"));
  EXPECT_EQ(UpperCaseText(C("žaba")), C("ŽABA"));
  EXPECT_EQ(UpperCaseText(C("žé")), C("žÉ"));
}

// Texts of eight bytes and more go through the case folding eight ASCII
// bytes at a time; each byte, wherever it stands in a long ASCII text, must
// fold as it does alone (where no other byte is a special letter, the rule
// for Ž is the same either way).
TEST(CharsetTest, LongTextsFoldByteByByteAsShortOnes) {
  const std::string around = "The @Quick[Brown] `Fox` {Jumps} Z over A!";
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    for (std::size_t at = 0; at <= 16; ++at) {
      std::string text = around;
      text.insert(at, 1, c);
      std::string lower, upper;
      for (char ch : text) {
        lower += LowerCaseText(std::string(1, ch));
        upper += UpperCaseText(std::string(1, ch));
      }
      ASSERT_EQ(Visible(LowerCaseText(text)), Visible(lower)) << b << " at " << at;
      ASSERT_EQ(Visible(UpperCaseText(text)), Visible(upper)) << b << " at " << at;
      std::string in_place = text;
      LowerCaseTextTo(in_place, in_place.data());
      ASSERT_EQ(in_place, lower);
    }
  }
}

TEST(CharsetTest, NonLettersKeepTheirCase) {
  // × ÷ µ ß ª º and the rest of the code page have no partner.
  EXPECT_EQ(LowerCaseText(C("×÷µßªº")), C("×÷µßªº"));
  EXPECT_EQ(LowerCaseText(C("É×÷µ")), C("é×÷µ"));
  EXPECT_EQ(UpperCaseText(C("×÷µßªº")), C("×÷µßªº"));
  EXPECT_EQ(UpperCaseText(C("é×÷µß")), C("É×÷µß"));

  // Exactly these bytes change when lower-cased alone.
  std::set<int> changing;
  for (int c = 'A'; c <= 'Z'; ++c) changing.insert(c);
  for (int c : {0x8A, 0x8C, 0x8E, 0x9F}) changing.insert(c);
  for (int c = 0xC0; c <= 0xDE; ++c) {
    if (c != 0xD7) changing.insert(c);
  }
  for (int c = 0; c < 256; ++c) {
    std::string one(1, static_cast<char>(c));
    EXPECT_EQ(LowerCaseText(one) != one, changing.count(c) == 1) << c;
  }
}

TEST(CharsetTest, WordCharactersEndAtTheRangeEdges) {
  struct Row {
    int code;
    bool word;  // without digits
    bool word_with_digits;
  } rows[] = {
      {0, false, false},   {47, false, false},  {48, false, true},
      {57, false, true},   {58, false, false},  {64, false, false},
      {65, true, true},    {90, true, true},    {91, false, false},
      {96, false, false},  {97, true, true},    {122, true, true},
      {123, false, false}, {138, false, false},  // Š
      {140, false, false}, {154, false, false},  // Œ š
      {156, false, false}, {159, false, false},  // œ Ÿ
      {170, false, false}, {181, false, false},  // ª µ
      {191, false, false}, {192, true, true},   {214, true, true},
      {215, false, false}, {216, true, true},   {223, true, true},  // ß
      {246, true, true},   {247, false, false}, {248, true, true},
      {254, true, true},   {255, true, true},  // þ ÿ
  };
  for (const Row& row : rows) {
    unsigned char c = static_cast<unsigned char>(row.code);
    std::string one(1, static_cast<char>(c));
    EXPECT_EQ(IsWordByte(c, false), row.word) << row.code;
    EXPECT_EQ(IsWordByte(c, true), row.word_with_digits) << row.code;
    EXPECT_EQ(IsWordChar(one, false), row.word) << row.code;
    EXPECT_EQ(IsWordChar(one, true), row.word_with_digits) << row.code;
  }
  EXPECT_FALSE(IsWordChar("", true));
  EXPECT_TRUE(IsWordChar("-", false, "-'"));
  EXPECT_TRUE(IsWordByte('\'', false, "-'"));
  EXPECT_FALSE(IsWordByte('.', false, "-'"));
}

TEST(CharsetTest, WordCharRunLengthCountsFromTheStartPosition) {
  EXPECT_EQ(WordCharRunLength("hello, world", 1, true), 5);
  EXPECT_EQ(WordCharRunLength("hello, world", 8, true), 5);
  EXPECT_EQ(WordCharRunLength("hello, world", 13, true), 0);
  EXPECT_EQ(WordCharRunLength("abc123def", 1, true), 9);
  EXPECT_EQ(WordCharRunLength("abc123def", 1, false), 3);
  EXPECT_EQ(WordCharRunLength("well-known x", 1, false, "-"), 10);
  EXPECT_EQ(WordCharRunLength(C("2×3"), 1, true), 1);
  EXPECT_EQ(WordCharRunLength(std::string(70000, 'a'), 1, false), 65000);
}

TEST(CharsetTest, SpecialLettersAreTheAccentedOnes) {
  EXPECT_TRUE(HasNoSpecialLetters(C("æðþßÆÞŒœ plain")));
  EXPECT_TRUE(HasNoSpecialLetters(""));
  for (std::string_view s : {"é", "Š", "Ð", "ÿ", "Ÿ", "ý"}) {
    EXPECT_FALSE(HasNoSpecialLetters(C(s))) << s;
  }
}

TEST(CharsetTest, FoldsAccentsAndExpandsUmlauts) {
  EXPECT_EQ(FoldAccents(C("ŠŸÀÁÂÃÄÅÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝ"
                          "šÿàáâãäåçèéêëìíîïñòóôõöøùúûüý")),
            "SYAAAAAACEEEEIIIIDNOOOOOOUUUUYsyaaaaaaceeeeiiiinoooooouuuuy");
  EXPECT_EQ(FoldAccents(C("æðþßÆÞŒœ")), C("æðþßÆÞŒœ"));
  EXPECT_EQ(ExpandUmlauts(C("ŒÄÆÖÜäæöüß")), "OeAeAeOeUeaeaeoeuess");
  EXPECT_EQ(ExpandUmlauts(C("Señor")), C("Señor"));

  struct Row {
    std::string_view text, folded;
  } rows[] = {
      {"Äpfel", "Aepfel"},
      {"Señor", "Senor"},
      {"Øresund Æble", "Oresund Aeble"},
      {"Œuvre", "Oeuvre"},
      {"œuvre", "œuvre"},  // œ has no expansion
      {"Straße", "Strasse"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FoldForComparison(C(row.text)), C(row.folded)) << row.text;
  }
}

TEST(CharsetTest, IsInListMatchesExactlyOrCaseFolded) {
  const std::vector<std::string> list = {"apple", "Banana", "cherry",
                                         C("Élan")};
  EXPECT_TRUE(IsInList("banana", list, 0, 4, false, false));
  EXPECT_FALSE(IsInList("banana", list, 0, 4, false, true));
  EXPECT_TRUE(IsInList("Banana", list, 0, 4, false, true));
  EXPECT_TRUE(IsInList(C("élan"), list, 0, 4, false, false));
  EXPECT_FALSE(IsInList(C("elan"), list, 0, 4, false, false));
  // The range: first index and count.
  EXPECT_FALSE(IsInList("cherry", list, 0, 2, false, false));
  EXPECT_TRUE(IsInList("cherry", list, 2, 1, false, false));
  EXPECT_FALSE(IsInList("apple", list, 1, 3, false, false));
  EXPECT_TRUE(IsInList("cherry", list, 0, 100, false, false));
  EXPECT_FALSE(IsInList("", {""}, 0, 1, false, false));
  EXPECT_FALSE(IsInList("apple", list, 0, 0, false, false));
}

TEST(CharsetTest, SortedIsInListStopsAtTheFirstLaterEntry) {
  // Out of order on purpose: a sorted search gives up at "cherry".
  const std::vector<std::string> list = {"apple", "cherry", "banana"};
  EXPECT_TRUE(IsInList("banana", list, 0, 3, false, false));
  EXPECT_FALSE(IsInList("banana", list, 0, 3, true, false));
  // Keys are folded: "Äpfel" sorts as "aepfel", before "apple".
  const std::vector<std::string> folded = {C("Äpfel"), "apple", "zebra"};
  EXPECT_TRUE(IsInList("APPLE", folded, 0, 3, true, false));
  EXPECT_TRUE(IsInList(C("äpfel"), folded, 0, 3, true, false));
}

TEST(CharsetTest, BlankNonLettersKeepsTheLength) {
  EXPECT_EQ(BlankNonLetters(C("a1 ß×Š.µ9"), false), C("a  ß Š   "));
  EXPECT_EQ(BlankNonLetters(C("a1 ß×Š.µ9"), true), C("a1 ß Š  9"));
  EXPECT_EQ(BlankNonLetters(C("œ÷Žÿ\tZ"), false), C("œ  ÿ Z"));
  EXPECT_EQ(BlankNonLetters("", true), "");
}

TEST(CharsetTest, HasOnlyLettersAllowsTheExtraCharacters) {
  EXPECT_TRUE(HasOnlyLetters(C("Müller straße* œuvre"), " *"));
  EXPECT_TRUE(HasOnlyLetters("", ""));
  EXPECT_FALSE(HasOnlyLetters("abc1", " *"));
  EXPECT_FALSE(HasOnlyLetters(C("a×b"), " *"));
}

TEST(CharsetTest, TypeUmlautsTurnsQuotedVowelsIntoUmlauts) {
  EXPECT_EQ(TypeUmlauts("Mu\"ller"), C("Müller"));
  EXPECT_EQ(TypeUmlauts("a\"o\"u\"A\"O\"U\"e\"\"a"), C("äöüÄÖÜe\"\"a"));
  EXPECT_EQ(TypeUmlauts("a\"\""), C("ä\""));
}

}  // namespace
}  // namespace orvane
