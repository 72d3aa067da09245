#include "engine/text/extract_builder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/text/charset.h"
#include "engine/text/entities.h"
#include "engine/text/string_ops.h"
#include "engine/text/utf_decoding.h"
#include "tests/support/temp_tree.h"

namespace orvane::testing {
namespace {

class ExtractBuilderTest : public ::testing::Test {
 protected:
  // The extracts of a file holding bytes.
  std::vector<std::string> Build(const std::string& bytes,
                                 std::vector<std::string> words,
                                 int context = 50, bool phrase = false,
                                 std::int16_t max = -1) {
    builder_.options.search_words = std::move(words);
    builder_.options.context_size = context;
    builder_.options.exact_phrase = phrase;
    builder_.options.max_extracts = max;
    EXPECT_TRUE(builder_.BuildExtracts(dir_.Write("f.txt", bytes)));
    return builder_.extracts();
  }
  bool PhraseOccurs(const std::string& bytes,
                    const std::vector<std::string>& words) {
    return builder_.ContainsPhrase(dir_.Write("f.txt", bytes), words);
  }

  TempDir dir_;
  ExtractBuilder builder_;
};

// Letters only, so that no two fillers share a word: "qa", "qb", ...
std::string Filler(int i) {
  std::string s = "q";
  do {
    s.push_back(static_cast<char>('a' + i % 26));
    i /= 26;
  } while (i > 0);
  return s;
}

TEST_F(ExtractBuilderTest, LineEndsShowAsSlashOrBlank) {
  EXPECT_EQ(Build("one\r\n\r\n\r\ntwo\r\n", {"two"}),
            std::vector<std::string>{"8} ... one/ <b>two</b>/ ..."});
  EXPECT_EQ(Build("one\n\n\ntwo\n", {"two"}),
            std::vector<std::string>{"8} ... one <b>two</b> ..."});
}

TEST_F(ExtractBuilderTest, MarkupIsBlankedAndEntitiesDecoded) {
  auto html = Build(
      "<html><head><title>T</title></head><body><p>Hello <i>big</i> "
      "world</p></body></html>",
      {"big"});
  ASSERT_EQ(html.size(), 1u);
  EXPECT_EQ(html[0].substr(3), "... Hello <b>big</b> world ...");
  auto entity = Build("caf&eacute; au lait", {"caf\xE9"});
  ASSERT_EQ(entity.size(), 1u);
  EXPECT_EQ(entity[0].substr(3), "... <b>caf\xE9</b> au lait ...");
  // Digits do not break a word boundary for extracts.
  EXPECT_EQ(Build("abc123 x", {"abc"}).size(), 1u);
  EXPECT_TRUE(Build("xabc y", {"abc"}).empty());
}

// A search for "b" marks each "b" word once and never the "b" of a mark.
TEST_F(ExtractBuilderTest, OneLetterWordIsMarkedOnce) {
  auto extracts = Build("b is b and b, then b.", {"b"});
  ASSERT_EQ(extracts.size(), 1u);
  // The last word goes with the cut of a short tail.
  EXPECT_EQ(extracts[0].substr(3),
            "... <b>b</b> is <b>b</b> and <b>b</b>, then ...");
}

TEST_F(ExtractBuilderTest, ContextHoldsAtMostSizeLettersEachSide) {
  std::string text = "aaaa bbbb cccc dddd needle eeee ffff gggg hhhh";
  auto extracts = Build(text, {"needle"}, 10);
  ASSERT_EQ(extracts.size(), 1u);
  // 10 characters each side reach into "bbbb" and "gggg": the cut halves go.
  EXPECT_EQ(extracts[0].substr(3), "... cccc dddd <b>needle</b> eeee ffff ...");
}

TEST_F(ExtractBuilderTest, RepeatedContextIsStoredOnce) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "x ";
  auto extracts = Build(text, {"x"}, 10);
  ASSERT_FALSE(extracts.empty());
  EXPECT_LT(extracts.size(), 20u);
  for (std::size_t i = 1; i < extracts.size(); ++i) {
    EXPECT_NE(extracts[i], extracts[i - 1]);
  }
}

TEST_F(ExtractBuilderTest, LimitStopsAtMoreThanFourTimesTheMaximum) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "needle " + Filler(i) + " " + Filler(i + 1000) + " ";
  EXPECT_EQ(Build(text, {"needle"}, 10, false, 2).size(), 9u);
  EXPECT_EQ(Build(text, {"needle"}, 10, false, 10).size(), 41u);
  EXPECT_GT(Build(text, {"needle"}, 10).size(), 100u);
}

// The digit tells the tenth of the file; later extracts never get a smaller
// one.
TEST_F(ExtractBuilderTest, PositionTenths) {
  std::string text(10000, ' ');
  text.replace(0, 6, "needle");
  text.replace(4997, 6, "needle");
  text.replace(9994, 6, "needle");
  auto extracts = Build(text, {"needle"}, 10);
  ASSERT_EQ(extracts.size(), 3u);
  EXPECT_EQ(extracts[0][0], '1');
  EXPECT_EQ(extracts[1][0], '5');
  EXPECT_EQ(extracts[2][0], '9');
}

// Issue 14: the next block starts where the display text of the block
// before it ends, counted with its punctuation made plain. 200 right quotes
// (three bytes each, one character each) move a needle of the second block
// from 4697 to 4297 of 10000 characters: the tenth 4, not 5.
TEST_F(ExtractBuilderTest, BlockPositionCountsPlainPunctuation) {
  std::string text(10000, ' ');
  for (int i = 0; i < 200; ++i) text.replace(10 * i, 3, "\xE2\x80\x99");
  text.replace(4096 + 600, 6, "needle");
  auto extracts = Build(text, {"needle"}, 10);
  ASSERT_EQ(extracts.size(), 1u);
  EXPECT_EQ(extracts[0][0], '4');
  // Entities are decoded after the length is taken: they do not move it.
  std::string entities(10000, ' ');
  for (int i = 0; i < 200; ++i) entities.replace(10 * i, 6, "&amp; ");
  entities.replace(4096 + 600, 6, "needle");
  EXPECT_EQ(Build(entities, {"needle"}, 10).at(0)[0], '5');
}

// Issue 14: UTF-8 sequences are decoded after the length of the block is
// taken, so that they are found by the search words typed and shown as the
// characters they are; one cut by the block's end stays as its bytes.
TEST_F(ExtractBuilderTest, DecodesUtf8Sequences) {
  auto extracts = Build("\xEF\xBB\xBF" "Au Caf\xC3\xA9 \xE2\x80\x9C" "D\xC3\xA9j\xC3\xA0\xE2\x80\x9D",
                        {"caf\xE9"});
  ASSERT_EQ(extracts.size(), 1u);
  EXPECT_EQ(Visible(extracts[0].substr(3)),
            Visible("... <b>Caf\xE9</b> \"D\xE9j\xE0\" ..."));
  std::string cut(8000, ' ');
  cut.replace(4092, 5, "caf\xC3\xA9");  // C3 at 4095, A9 at 4096
  cut.replace(6200, 5, "caf\xC3\xA9");
  extracts = Build(cut, {"caf\xE9"});
  ASSERT_EQ(extracts.size(), 1u);
  EXPECT_EQ(extracts[0][0], '8');  // only the one in the second block
}

// A UTF-16 file is cut into blocks of 4096 characters of its decoded
// text, which is also the length its position digits count in.
TEST_F(ExtractBuilderTest, ReadsUtf16Files) {
  std::string text(10000, ' ');
  text.replace(0, 5, "Caf\xC3\xA9");  // 4 characters, 9999 in all
  text.replace(7000, 6, "needle");
  for (bool big_endian : {false, true}) {
    auto extracts = Build(Utf16File(text, big_endian), {"caf\xE9", "needle"}, 10);
    ASSERT_EQ(extracts.size(), 2u) << big_endian;
    EXPECT_EQ(Visible(extracts[0]), Visible("1} ... <b>Caf\xE9</b> ..."));
    EXPECT_EQ(extracts[1][0], '7');  // 7000 of 9999 characters, not 20000
    EXPECT_TRUE(PhraseOccurs(Utf16File("Il \xC3\xA9tait une fois", big_endian),
                             {"\xE9tait", "une"}));
  }
}

TEST_F(ExtractBuilderTest, BlockBoundaries) {
  // A word cut by the boundary is not found; one in the next block is.
  std::string cut(8000, ' ');
  cut.replace(4093, 6, "needle");
  EXPECT_TRUE(Build(cut, {"needle"}).empty());
  cut.replace(5000, 6, "needle");
  EXPECT_EQ(Build(cut, {"needle"}).size(), 1u);
  // A one-letter word on the last character of a block (issue 4: the scan
  // would find it again forever).
  std::string last(5000, ' ');
  last[4095] = 'b';
  EXPECT_EQ(Build(last, {"b"}).size(), 1u);
  std::string end_of_file = "a b";
  EXPECT_EQ(Build(end_of_file, {"b"}).size(), 1u);
}

TEST_F(ExtractBuilderTest, ContainsPhraseFindsPhrases) {
  const std::string text = "To be, or not to be: that is the question.";
  EXPECT_TRUE(PhraseOccurs(text, {"to", "be", "or", "not", "to", "be"}));
  EXPECT_TRUE(PhraseOccurs(text, {"be", "or"}));  // punctuation is blank
  EXPECT_TRUE(PhraseOccurs(text, {"question"}));
  EXPECT_FALSE(PhraseOccurs(text, {"not", "be"}));
  EXPECT_FALSE(PhraseOccurs(text, {"that", "question"}));
  EXPECT_FALSE(PhraseOccurs("the cat and the dog", {"the", "cat", "and", "the", "cow"}));
  EXPECT_TRUE(PhraseOccurs("the cat and the dog", {"the", "cat", "and", "the"}));
  EXPECT_FALSE(builder_.ContainsPhrase(dir_.Path("missing.txt"), {"the"}));
}

// The confirmation of a phrase search leaves the report's settings alone:
// the extracts that follow still look for the report's words.
TEST_F(ExtractBuilderTest, ContainsPhraseLeavesTheOptions) {
  builder_.options.search_words = {"dog"};
  builder_.options.exact_phrase = false;
  EXPECT_TRUE(builder_.ContainsPhrase(dir_.Write("f.txt", "the cat and the dog"),
                                      {"the", "cat"}));
  EXPECT_EQ(builder_.options.search_words, std::vector<std::string>{"dog"});
  EXPECT_FALSE(builder_.options.exact_phrase);
  EXPECT_TRUE(builder_.BuildExtracts(dir_.Path("f.txt")));
  EXPECT_EQ(builder_.extracts().size(), 1u);
}

TEST_F(ExtractBuilderTest, PhraseMarksOnlyWordsInPhraseOrder) {
  auto extracts = Build("be to be or", {"to", "be"}, 50, true);
  ASSERT_EQ(extracts.size(), 1u);
  EXPECT_EQ(extracts[0].substr(3), "... be <b>to</b> <b>be</b> ...");
}

TEST_F(ExtractBuilderTest, UnreadableFileLeavesNoExtracts) {
  builder_.options.search_words = {"x"};
  EXPECT_FALSE(builder_.BuildExtracts(dir_.Path("missing.txt")));
  EXPECT_TRUE(builder_.extracts().empty());
  // A found file that has become a pipe is not waited for.
  ASSERT_EQ(mkfifo(dir_.Path("pipe.txt").c_str(), 0600), 0);
  EXPECT_FALSE(builder_.BuildExtracts(dir_.Path("pipe.txt")));
  EXPECT_FALSE(builder_.BuildExtracts(dir_.MakeDir("folder.txt")));
  EXPECT_TRUE(builder_.extracts().empty());
}

// The texts of a block, made the plain way: one operation of the text
// layer after the other, byte by byte.
void PlainBlockTexts(std::string block, bool last, std::string* display,
                     std::string* search) {
  int depth = 0;
  for (char& ch : block) {
    auto c = static_cast<unsigned char>(ch);
    if (c == '<') {
      ++depth;
      ch = ' ';
    } else if (c == '>') {
      if (depth > 0) --depth;
      ch = ' ';
    } else if (depth > 0) {
      ch = ' ';
    } else if (c == 13) {
      ch = '/';
    } else if (c < 32) {
      ch = ' ';
    }
  }
  *display = block;
  if (last) display->push_back(' ');
  ReplaceUtf8Punctuation(*display);
  DecodeUtf8Sequences(*display);
  DecodeEntities(*display);
  std::string text = *display;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') continue;
    for (std::size_t k = 1; k <= 5 && i + k < text.size(); ++k) {
      if (text[i + k] == ';') {
        for (std::size_t j = i; j <= i + k; ++j) text[j] = ' ';
        break;
      }
    }
  }
  *search = LowerCaseText(BlankNonLetters(text, true));
}

// Blocks of every kind of byte: tags open and closed across the block,
// entities whole and cut, CR and other control bytes, UTF-8 punctuation,
// accented and other high bytes, in runs long and short.
TEST(PrepareExtractBlockTest, GivesThePlainTexts) {
  const std::vector<std::string> pieces = {
      "<", ">", "<b>", "</p>", "&amp;", "&eacute;", "&#160;", "&nbsp;", "&",
      ";", "&x;", "&toolong;", "\r\n", "\r", "\n", "\t", std::string(1, '\0'),
      "\xE2\x80\x94", "\xE2\x80\x98", "\xE2\x80", "\xC9t\xE9", "\x8E\x9E",
      "\xC3\xA9", "\xC3\x89", "\xEF\xBB\xBF", "\xD0\xB6", "\xC3", "\xE2\x82\xAC",
      "\x8A\x9A\xFF\x9F", "\x80\x81\x90", "Hello ", "world", "HTML ",
      "12ab", "  ", "plain text of some length, to be passed quickly. ",
      "MIXED case LETTERS ", "_-+=[]{}@`~^|\\/",
      // The bytes on either side of the digits and of both alphabets.
      "/0123456789:", "@AZ[", "`az{", "0 9 A Z a z ", "9876543210 "};
  std::uint64_t state = 3;
  auto next = [&state](std::uint64_t n) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % n;
  };
  std::string display, search, plain_display, plain_search;
  for (int round = 0; round < 3000; ++round) {
    std::string block;
    const std::size_t size = next(3) == 0 ? next(64) : kExtractBlockSize;
    while (block.size() < size) block += pieces[next(pieces.size())];
    block.resize(size);
    const bool last = size < kExtractBlockSize;
    std::string raw = block;
    PrepareExtractBlock(raw.data(), raw.size(), last, true, &display, &search);
    PlainBlockTexts(block, last, &plain_display, &plain_search);
    ASSERT_EQ(Visible(display), Visible(plain_display)) << Visible(block);
    ASSERT_EQ(Visible(search), Visible(plain_search)) << Visible(block);
  }
}

}  // namespace
}  // namespace orvane::testing
