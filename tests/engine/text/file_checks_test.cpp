#include "engine/text/file_checks.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::TempDir;

std::int16_t Check(const std::string& path, TextFileFacts* facts = nullptr) {
  return CheckTextFile(path, 8192, true, facts);
}

// UTF-16 with its byte-order mark, little- or big-endian.
std::string Utf16(const std::string& ascii, bool big_endian) {
  std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) {
    out += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
  }
  return out;
}

TEST(CheckTextFileTest, TellsTheLineEndsOfTheFirst8192Characters) {
  TempDir dir;
  struct Row {
    std::string content;
    std::int16_t code;
  } rows[] = {
      {"one\r\ntwo\r\n", kCheckTextCrLf},
      {"no line end", kCheckTextCrLf},
      {"one\ntwo\n", kCheckTextLfOnly},
      {"one\rtwo\r", kCheckTextCrOnly},
      // A CR after the first 8192 characters is not seen.
      {std::string(8000, 'a') + "\n" + std::string(1000, 'b') + "\r",
       kCheckTextLfOnly},
      {std::string(8191, 'a') + "\r", kCheckTextCrOnly},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Check(dir.Write("f.txt", row.content)), row.code)
        << testing::Visible(row.content.substr(0, 20));
  }
}

TEST(CheckTextFileTest, RefusesMoreThanOneControlCharacterInAThousand) {
  TempDir dir;
  std::string text(8192, 'a');
  for (int i = 0; i < 9; ++i) text[i * 10] = '\x01';
  TextFileFacts facts;
  // 9 in 8192 is 0.11 per cent, 8 is 0.098 per cent.
  EXPECT_EQ(Check(dir.Write("9.txt", text), &facts), kCheckNotText);
  EXPECT_NEAR(facts.control_percentage, 900.0 / 8192, 1e-9);
  text[80] = 'a';
  EXPECT_EQ(Check(dir.Write("8.txt", text), &facts), kCheckTextCrLf);
  EXPECT_EQ(CheckTextFileAndLetters(dir.Path("8.txt"), 8192, true, &facts),
            kCheckTextCrLf);
  // Backspace, TAB and form feed are text; escape is not.
  EXPECT_EQ(Check(dir.Write("t.txt", "a\bb\tc\fd"), &facts), kCheckTextCrLf);
  EXPECT_EQ(Check(dir.Write("e.txt",
                            "abc\x1B"
                            "def"),
                  &facts),
            kCheckNotText);
  EXPECT_EQ(facts.first_control_char, 0x1B);
  EXPECT_EQ(facts.first_control_position, 4);
}

// Issue 14: a file with a UTF-16 mark is checked on its decoded text, so
// its zero bytes are no concern and its letters count as the words do.
TEST(CheckTextFileTest, ChecksTheDecodedTextOfUtf16Files) {
  TempDir dir;
  std::string le = dir.Write("le.txt", Utf16("Hello\r\nworld\r\n", false));
  std::string be = dir.Write("be.txt", Utf16("Hello\nworld\n", true));
  EXPECT_EQ(Check(le), kCheckTextCrLf);
  EXPECT_EQ(Check(be), kCheckTextLfOnly);
  EXPECT_EQ(CheckTextFileAndLetters(be, 8192, true, nullptr), kCheckTextLfOnly);
  EXPECT_EQ(CheckTextFile(le, 8192, false, nullptr), kCheckTextCrLf);

  // 99 letters and one control character: 1 per cent of the 100 decoded
  // characters for both checks, the mark not counted.
  TextFileFacts facts;
  be = dir.Write("be1.txt", Utf16(std::string(99, 'a') + "\x01", true));
  EXPECT_EQ(CheckTextFile(be, 8192, true, &facts, 0.99), kCheckNotText);
  EXPECT_EQ(CheckTextFileAndLetters(be, 8192, true, &facts, 0.99),
            kCheckNotText);
  EXPECT_NEAR(facts.control_percentage, 1.0, 1e-9);
  EXPECT_EQ(facts.first_control_position, 100);

  // The first 8192 characters are 16384 bytes of the file.
  const std::string nine(9, '\x01');
  std::string late = Utf16(std::string(8183, 'a') + nine, false);
  EXPECT_EQ(Check(dir.Write("late.txt", late), &facts), kCheckNotText);
  late = Utf16(std::string(8192, 'a') + nine, false);
  EXPECT_EQ(Check(dir.Write("late.txt", late), &facts), kCheckTextCrLf);

  // A mark on a binary file: no crash, the check ends.
  std::string binary = "\xFF\xFE";
  for (int i = 0; i < 40001; ++i) binary += static_cast<char>(i * 7919 % 251);
  EXPECT_GE(Check(dir.Write("binary.bin", binary)), kCheckNotText);
}

TEST(CheckTextFileAndLettersTest, CountsTheLettersOfUtf8AndUtf16Texts) {
  TempDir dir;
  TextFileFacts facts;
  std::string french;  // é, è and à
  while (french.size() < 5000) french += "D\xC3\xA9j\xC3\xA0 tr\xC3\xA8s. ";
  for (const std::string& bytes :
       {french, "\xEF\xBB\xBF" + french, testing::Utf16File(french, true)}) {
    EXPECT_EQ(CheckTextFileAndLetters(dir.Write("f.txt", bytes), 8192, true,
                                      &facts),
              kCheckTextCrLf);
    EXPECT_EQ(facts.distinct_special_letters, 3);
    EXPECT_NEAR(facts.special_letter_percentage, 300.0 / 11, 0.5);
  }
}

TEST(CheckTextFileTest, LooksAtTheFirstHalfOfEachChunkUntil8192AreExamined) {
  TempDir dir;
  // Half the bytes are ignored zeros, so the first chunk examines 4096 and
  // the second (from byte 16384) is looked at too; bytes 8192 to 16383 are
  // never looked at.
  std::string base = Utf16(std::string(16384, 'a'), false).substr(2);
  std::string unseen = base;
  std::string seen = base;
  for (int i = 0; i < 20; ++i) unseen[10000 + 2 * i] = seen[17000 + 2 * i] = 2;
  EXPECT_EQ(Check(dir.Write("unseen.txt", unseen)), kCheckTextCrLf);
  TextFileFacts facts;
  EXPECT_EQ(Check(dir.Write("seen.txt", seen), &facts), kCheckNotText);
  EXPECT_EQ(facts.first_control_position, 17001);
  EXPECT_NEAR(facts.control_percentage, 2000.0 / 8192, 1e-9);
}

TEST(CheckTextFileTest, GivesCodesForFilesThatCannotBeChecked) {
  TempDir dir;
  for (auto check : {&CheckTextFile, &CheckTextFileAndLetters}) {
    EXPECT_EQ(check(dir.Path("missing"), 8192, true, nullptr, 0.1),
              kCheckFileMissing);
    EXPECT_EQ(check(dir.MakeDir("folder"), 8192, true, nullptr, 0.1),
              kCheckFileMissing);
    EXPECT_EQ(check(dir.Write("empty", ""), 8192, true, nullptr, 0.1),
              kCheckFileEmpty);
  }
  testing::AllowEveryone(dir.path());
  std::string locked = dir.Write("locked.txt", "text");
  ::chmod(locked.c_str(), 0);
  EXPECT_EQ(testing::RunUnprivileged([&] { return Check(locked); }),
            kCheckCannotOpen);
  TextFileFacts facts;
  EXPECT_EQ(Check(dir.Write("bom.txt", "\xEF\xBB\xBFtext"), &facts),
            kCheckTextCrLf);
  EXPECT_TRUE(facts.bom_seen);
}

TEST(CheckTextFileAndLettersTest, CountsSpecialLettersAfterDecoding) {
  TempDir dir;
  TextFileFacts facts;
  std::string french;  // é and è only
  while (french.size() < 5000) french += "Le caf\xE9 tr\xE8s chaud. ";
  auto check = [&](const std::string& content) {
    return CheckTextFileAndLetters(dir.Write("f.txt", content), 8192, true,
                                   &facts);
  };
  EXPECT_EQ(check(french), kCheckTextCrLf);
  EXPECT_EQ(facts.distinct_special_letters, 2);
  EXPECT_GT(facts.special_letter_percentage, 0.1);
  check(french + "\xE0");
  EXPECT_EQ(facts.distinct_special_letters, 3);
  // × (215), ÷ (247), þ (254) and ÿ (255) are not special letters; À (192)
  // and ý (253) are.
  check("\xD7\xF7\xFE\xFF\xC0\xFD");
  EXPECT_EQ(facts.distinct_special_letters, 2);
  // The share is over the 93 decoded characters.
  check("&eacute;" + std::string(92, 'a'));
  EXPECT_NEAR(facts.special_letter_percentage, 100.0 / 93, 1e-9);
  // Only the characters that were looked at count.
  check(std::string(8192, 'a') + "\xE9\xE8\xE0");
  EXPECT_EQ(facts.distinct_special_letters, 0);
}

// The check passes over eight bytes at a time where none counts; every
// byte that does must still be seen, wherever it stands, and the check of
// a walked file must find what the other two find.
TEST(CheckTextFileTest, SeesEveryByteThatCountsWhereverItStands) {
  TempDir dir;
  auto same_facts = [](const TextFileFacts& a, const TextFileFacts& b) {
    return a.first_control_char == b.first_control_char &&
           a.first_control_position == b.first_control_position &&
           a.control_percentage == b.control_percentage &&
           a.bom_seen == b.bom_seen &&
           a.special_letter_percentage == b.special_letter_percentage &&
           a.distinct_special_letters == b.distinct_special_letters;
  };
  for (std::size_t at = 0; at < 20; ++at) {
    for (const char* inserted : {"\x01", "\n", "\r", "\xE9\xE8\xE0", "&agrave;"}) {
      std::string text(40, 'a');
      text.insert(at, inserted);
      std::string path = dir.Write("f.txt", text);
      TextFileFacts plain, letters, walked;
      std::int16_t code = CheckTextFile(path, 8192, true, &plain, 50);
      std::int16_t letter_code =
          CheckTextFileAndLetters(path, 8192, true, &letters, 50);
      EXPECT_EQ(CheckWalkedTextFile(path, 8192, true, false, &walked, 50), code);
      EXPECT_TRUE(same_facts(walked, plain)) << at;
      EXPECT_EQ(CheckWalkedTextFile(path, 8192, true, true, &walked, 50),
                letter_code);
      EXPECT_TRUE(same_facts(walked, letters)) << at;
      if (inserted[0] == '\x01') {
        EXPECT_EQ(plain.first_control_position, static_cast<std::int64_t>(at) + 1);
      } else if (inserted[0] == '\n') {
        EXPECT_EQ(code, kCheckTextLfOnly) << at;
      } else if (inserted[0] == '\r') {
        EXPECT_EQ(code, kCheckTextCrOnly) << at;
      } else {
        EXPECT_EQ(letters.distinct_special_letters, inserted[0] == '&' ? 1 : 3);
      }
    }
  }
  // Files of one chunk and more, UTF-16 among them, read the same way.
  for (const std::string& text :
       {std::string(16384, 'a'), std::string(16385, 'b') + "\n",
        Utf16(std::string(9000, 'c') + "\x01", true)}) {
    std::string path = dir.Write("g.txt", text);
    TextFileFacts plain, walked;
    std::int16_t code = CheckTextFile(path, 8192, true, &plain);
    EXPECT_EQ(CheckWalkedTextFile(path, 8192, true, false, &walked, 0.1), code);
    EXPECT_TRUE(same_facts(walked, plain));
  }
  EXPECT_EQ(CheckWalkedTextFile(dir.Path("gone.txt"), 8192, true, true,
                                nullptr, 0.1),
            kCheckFileMissing);
}

TEST(DeleteFileForciblyTest, DeletesAReadOnlyFileOnlyWhenAsked) {
  int pauses = 0;
  SetDeleteRetryPauseForTesting([&] { ++pauses; });
  TempDir dir;
  std::string path = dir.Write("ro.txt", "x");
  ::chmod(path.c_str(), 0444);
  EXPECT_FALSE(DeleteFileForcibly(
      path, {.clear_hidden = true, .clear_system = true}));
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(pauses, 3);  // three retries after the first attempt
  EXPECT_TRUE(DeleteFileForcibly(path, {.clear_read_only = true}));
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(DeleteFileForcibly(path, {}));  // missing
  EXPECT_TRUE(DeleteFileForcibly(dir.MakeDir("folder"), kClearAllAttributes));
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path("folder")));
  EXPECT_FALSE(FileExists(""));
  SetDeleteRetryPauseForTesting(nullptr);
}

}  // namespace
}  // namespace orvane
