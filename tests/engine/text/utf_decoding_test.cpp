#include "engine/text/utf_decoding.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "engine/common/cp1252.h"
#include "engine/common/file_descriptor.h"
#include "engine/text/content_file.h"
#include "tests/support/temp_tree.h"

namespace orvane::testing {
namespace {

TEST(DecodeUtf8SequencesTest, WellFormedSequencesBecomeTheirCharacters) {
  struct Row {
    std::string_view bytes, content;
  } rows[] = {
      {"caf\xC3\xA9", "caf\xE9"},                   // é
      {"\xC3\x89t\xC3\xA9", "\xC9t\xE9"},           // Été
      {"stra\xC3\x9F" "e", "stra\xDF" "e"},         // ß
      {"a\xC2\xA0" "b", "a\xA0" "b"},               // no-break space
      {"\xE2\x82\xAC 5", "\x80 5"},                 // € at its byte
      {"\xC5\x93uvre", "\x9Cuvre"},                 // œ
      {"\xC2\x81", "\x81"},                         // undefined byte's stand-in
      {"\xEF\xBB\xBFtext", "text"},                 // a byte-order mark: nothing
      {"a\xEF\xBB\xBF" "b", "ab"},                  // anywhere
      {"\xD0\xB6\xE4\xB8\xAD", "??"},               // Cyrillic, Chinese
      {"\xF0\x9F\x98\x80!", "?!"},                  // four bytes
      {"\xC2\x80", "?"},                            // a C1 control the code page lacks
      {"\xE2\x80\x99", "\x92"},                     // right quote (no replacement here)
      // What does not begin a well-formed sequence stays as its bytes.
      {"caf\xE9 au lait", "caf\xE9 au lait"},       // Windows-1252
      {"\xE9t\xE9", "\xE9t\xE9"},
      {"\xC3", "\xC3"},                             // cut by the end
      {"\xC3 x", "\xC3 x"},                         // cut by a blank
      {"\xE2\x82", "\xE2\x82"},
      {"\xA9\xA9", "\xA9\xA9"},                     // lone continuation bytes
      {"\xC0\xAF", "\xC0\xAF"},                     // overlong "/"
      {"\xC1\xBF", "\xC1\xBF"},                     // overlong
      {"\xE0\x80\xAF", "\xE0\x80\xAF"},             // overlong, three bytes
      {"\xF0\x80\x80\xAF", "\xF0\x80\x80\xAF"},     // overlong, four bytes
      {"\xED\xA0\x80", "\xED\xA0\x80"},             // a surrogate
      {"\xF4\x90\x80\x80", "\xF4\x90\x80\x80"},     // above U+10FFFF
      {"\xF8\x88\x80\x80\x80", "\xF8\x88\x80\x80\x80"},
      {"\xC3\xC3\xA9", "\xC3\xE9"},                 // a bad lead, then é
  };
  for (const Row& row : rows) {
    std::string text(row.bytes);
    DecodeUtf8Sequences(text);
    EXPECT_EQ(Visible(text), Visible(row.content)) << Visible(row.bytes);
    // A text that decodes to something else is never passed over.
    if (text != row.bytes) EXPECT_TRUE(MayHoldUtf8(row.bytes)) << Visible(row.bytes);
  }
  // Windows-1252 text is passed over, however long.
  EXPECT_FALSE(MayHoldUtf8(std::string(100, 'a') + "caf\xE9 \xE0 \xFC" "ber\xFF"));
  EXPECT_TRUE(MayHoldUtf8(std::string(15, 'a') + "\xC3\xA9"));  // at a word's end
  EXPECT_FALSE(MayHoldUtf8("\xC3"));
}

// The file side and the typed side share one table: every character of
// the code page, written as UTF-8, decodes to the byte typed text gives.
TEST(DecodeUtf8SequencesTest, AgreesWithTypedText) {
  for (int b = 0x80; b < 0x100; ++b) {
    std::string content(1, static_cast<char>(b));
    std::string text = ContentToDisplay(content);
    DecodeUtf8Sequences(text);
    EXPECT_EQ(Visible(text), Visible(content));
    EXPECT_EQ(DisplayToContent(ContentToDisplay(content)), content);
  }
}

TEST(DecodeUtf8TextTest, MakesTheNinePunctuationSequencesPlainFirst) {
  std::string text = "\xE2\x80\x9C" "caf\xC3\xA9\xE2\x80\x9D \xE2\x80\x94 \xE2\x80\xB9x";
  DecodeUtf8Text(text);
  EXPECT_EQ(Visible(text), Visible("\"caf\xE9\" -- \x8Bx"));  // ‹ is not one of them
}

TEST(Utf16DecoderTest, DecodesBothOrdersInBlocksOfAnySize) {
  struct Row {
    std::string_view utf8;
    std::string_view content;
  } rows[] = {
      {"caf\xC3\xA9 \xC3\xBC" "ber", "caf\xE9 \xFC" "ber"},
      {"\xE2\x82\xAC\xC5\x93\xE2\x80\x99", "\x80\x9C\x92"},
      {"a\xEF\xBB\xBF" "b", "ab"},            // a mark inside: nothing
      {"\xD0\xB6\xF0\x9F\x98\x80.", "??."},  // a pair is one code point
      {"\r\n\t", "\r\n\t"},
  };
  for (const Row& row : rows) {
    for (bool big : {false, true}) {
      const std::string bytes = Utf16File(row.utf8, big);
      for (std::size_t step : {std::size_t{1}, std::size_t{3}, bytes.size()}) {
        Utf16Decoder decoder(big ? Utf16Order::kBigEndian
                                 : Utf16Order::kLittleEndian);
        std::string out;
        for (std::size_t at = 0; at < bytes.size(); at += step) {
          decoder.Decode(std::string_view(bytes).substr(at, step), &out);
        }
        decoder.Finish(&out);
        EXPECT_EQ(Visible(out), Visible(row.content))
            << Visible(bytes) << " in steps of " << step;
      }
    }
  }
}

TEST(Utf16DecoderTest, ReadsWhatCannotBeDecodedAsBytes) {
  std::string out;
  Utf16Decoder le;
  // A leading surrogate before "A", a trailing one alone, a leading one at
  // the end, an odd last byte.
  le.Decode(std::string("\x3D\xD8" "A\0" "\x00\xDC" "\x3D\xD8" "z", 9), &out);
  le.Finish(&out);
  EXPECT_EQ(Visible(out), Visible(std::string("\x3D\xD8" "A\x00\xDC\x3D\xD8z", 8)));
  EXPECT_EQ(Utf16Mark("\xFF\xFE"), Utf16Order::kLittleEndian);
  EXPECT_EQ(Utf16Mark("\xFE\xFFx"), Utf16Order::kBigEndian);
  EXPECT_EQ(Utf16Mark("\xFF"), Utf16Order::kNone);
  EXPECT_EQ(Utf16Mark("\xEF\xBB\xBF"), Utf16Order::kNone);
}

// What a reader gets from a file, and the length the position digit uses.
TEST(ContentFileTest, ReadsUtf16FilesDecodedAndOthersAsTheyAre) {
  TempDir dir;
  struct Row {
    std::string bytes;
    std::string content;
    bool utf16;
  } rows[] = {
      {Utf16File("caf\xC3\xA9\r\n", false), "caf\xE9\r\n", true},
      {Utf16File("caf\xC3\xA9\r\n", true), "caf\xE9\r\n", true},
      {Utf16File("x", false) + "\x7F", "x\x7F", true},  // odd byte count
      {"\xFF\xFE", "", true},
      {"caf\xC3\xA9", "caf\xC3\xA9", false},  // UTF-8 is decoded by lines
      {"\xFF", "\xFF", false},
      {std::string(70000, 'a'), std::string(70000, 'a'), false},
      // More than one raw block.
      {Utf16File(std::string(70000, 'e'), false), std::string(70000, 'e'),
       true},
  };
  for (const Row& row : rows) {
    FileDescriptor fd(::open(dir.Write("f.txt", row.bytes).c_str(), O_RDONLY));
    ContentFile file;
    file.Start(fd.get());
    std::string read;
    char buffer[4096];
    ssize_t got;
    while ((got = file.Read(buffer, sizeof buffer)) > 0) {
      read.append(buffer, static_cast<std::size_t>(got));
    }
    EXPECT_EQ(got, 0);
    EXPECT_EQ(file.utf16(), row.utf16);
    EXPECT_EQ(file.Length(static_cast<std::int64_t>(row.bytes.size())),
              static_cast<std::int64_t>(row.content.size()));
    EXPECT_EQ(read.size(), row.content.size());
    EXPECT_EQ(Visible(read.substr(0, 64)), Visible(row.content.substr(0, 64)));
    EXPECT_TRUE(read == row.content);
  }
}

}  // namespace
}  // namespace orvane::testing
