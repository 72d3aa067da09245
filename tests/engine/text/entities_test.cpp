#include "engine/text/entities.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/common/cp1252.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::Visible;

struct Row {
  std::string in;
  std::string out;
};

TEST(EntityTableTest, HoldsTheSixtySevenEntriesAsWindows1252Bytes) {
  EXPECT_EQ(ContentToDisplay(kEntityTable),
            "&copy;© &amp;& &nbsp; &#160; &#8212;— &AElig;Æ &Aacute;Á "
            "&Acirc;Â &Agrave;À &Aring;Å &Atilde;Ã &Auml;Ä &Ccedil;Ç &ETH;Ð "
            "&Eacute;É &Ecirc;Ê &Egrave;È &Euml;Ë &Iacute;Í &Icirc;Î "
            "&Igrave;Ì &Iuml;Ï &Ntilde;Ñ &Oacute;Ó &Ocirc;Ô &Ograve;Ò "
            "&Oslash;Ø &Otilde;Õ &Ouml;Ö &THORN;Þ &Uacute;Ú &Ucirc;Û "
            "&Ugrave;Ù &Uuml;Ü &Yacute;Ý &aacute;á &acirc;â &aelig;æ "
            "&agrave;à &aring;å &atilde;ã &auml;ä &ccedil;ç &eacute;é "
            "&ecirc;ê &egrave;è &eth;ð &euml;ë &iacute;í &icirc;î &igrave;ì "
            "&iuml;ï &ntilde;ñ &oacute;ó &ocirc;ô &ograve;ò &oslash;ø "
            "&otilde;õ &ouml;ö &szlig;ß &thorn;þ &uacute;ú &ucirc;û "
            "&ugrave;ù &uuml;ü &yacute;ý &yuml;ÿ");
}

TEST(DecodeEntitiesTest, DecodesTableEntriesAndQuotOneLevelOnly) {
  const Row rows[] = {
      {"AT&amp;amp;T", "AT&amp;T"},  // a decoded "&" is not decoded again
      {"a&nbsp;b&#160;c", "a b c"},
      {"x&#8212;y", "x\x97y"},
      {"&auml;&Auml;&szlig;&yuml;", "\xE4\xC4\xDF\xFF"},
      {"&quot;quoted&quot;", "\"quoted\""},
      {"&EACUTE;", "&EACUTE;"},  // names are case-sensitive
      {"&#233;&euro;", "&#233;&euro;"},
      // The candidate runs from the "&" to the first ";", so an entity
      // inside a longer candidate stays.
      {"&copy 2024 &amp; more", "&copy 2024 &amp; more"},
      // "& &nbsp;" occurs in the table, behind the "&" that "&amp;" stands
      // for, and so stands for the space after its ";".
      {"R & &nbsp;D", "R  D"},
      {"AT&T", "AT&T"},
  };
  for (const Row& row : rows) {
    std::string text = row.in;
    DecodeEntities(text);
    EXPECT_EQ(Visible(text), Visible(row.out)) << row.in;
  }
}

TEST(BlankUnknownEntitiesTest,
     BlanksEntitiesWithoutASpaceBeforeTheirSemicolon) {
  const Row rows[] = {
      {"x&#233;y", "x y"},
      {"fish & chips; peas", "fish & chips; peas"},  // space before the ";"
      {"a&b;c&d;e", "a c e"},
      {"&&x;", " "},
      {"a &b c; d&e;", "a &b c; d "},
      {"end;&", "end;&"},
  };
  for (const Row& row : rows) {
    std::string text = row.in;
    BlankUnknownEntities(text);
    EXPECT_EQ(text, row.out) << row.in;
  }
}

TEST(RemoveEntityTextTest, DropsEntityTextAndHalvesDoubleSpaces) {
  const Row rows[] = {
      {"Caf&eacute; au lait", "Caf au lait"},
      {"Q & A", "Q A"},  // the space ends the skip and stays
      {"&unclosed text", " text"},
      {"a;b", "a;b"},      // a ";" outside entity text stays
      {"a    b", "a  b"},  // one pass: four spaces become two
  };
  for (const Row& row : rows) {
    EXPECT_EQ(RemoveEntityText(row.in), row.out) << row.in;
  }
}

TEST(EncodeEntitiesTest, WritesEntityNamesAndSpacesTheEmDash) {
  const Row rows[] = {
      // Café — 5 €: two spaces on each side of the dash.
      {"Caf\xE9 \x97 5 \x80", "Caf&eacute;  &#8212;  5 \x80"},
      {"AT&T <b>", "AT&amp;T <b>"},
      {"\x8A\x9C\xA0", "\x8A\x9C\xA0"},  // no entries for Š, œ, no-break space
      {"\xA9\xFF\xC6", "&copy;&yuml;&AElig;"},
  };
  for (const Row& row : rows) {
    std::string text = row.in;
    EncodeEntities(text);
    EXPECT_EQ(Visible(text), Visible(row.out)) << Visible(row.in);
  }
  EXPECT_EQ(EncodeQuotes("say \"hi\""), "say &quot;hi&quot;");
}

}  // namespace
}  // namespace orvane
