#include "engine/common/program_texts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::TempDir;

// Loads a scratch file of texts; the program's own texts are loaded again
// afterwards, since every other test reads them.
class ProgramTextsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ASSERT_TRUE(LoadProgramTextsFrom(
                    (testing::SourceDataFolder() / "tavo.dat").string())
                    .ok());
  }

  // The loader's result for a file with this content, and in *message what
  // the start-up box would say.
  std::int32_t Load(const std::string& content,
                    std::string* message = nullptr) {
    std::string path = dir_.Write("tavo.dat", content);
    std::int32_t code = auxkit::_lt(path, 0);
    if (message != nullptr) {
      Status status = LoadProgramTextsFrom(path);
      *message = status.message();
    }
    return code;
  }

  TempDir dir_;
};

TEST_F(ProgramTextsTest, LoadsTextsAndLooksThemUpByNumber) {
  EXPECT_EQ(Load("# comment\n\n1\tOne\r\n  # indented comment\n"
                 "300\tTwo\\nlines\n7\tcaf\xC3\xA9\ttab\n"),
            3);
  EXPECT_EQ(GetProgramText(1), "One");
  EXPECT_EQ(GetProgramText(300), "Two\r\nlines");
  EXPECT_EQ(GetProgramText(7), "caf\xC3\xA9\ttab");
  EXPECT_EQ(GetProgramText(2), "");
  // A byte-order mark that an editor wrote is not part of the first line.
  EXPECT_EQ(Load("\xEF\xBB\xBF"
                 "1\tOne\n"),
            1);
}

TEST_F(ProgramTextsTest, GivesTheErrorCodeOfEachFault) {
  std::string ok_line = "1\tA\n";
  std::string at_1024 = "5\t" + std::string(1024, 'x') + "\n";
  std::string accented_1024;  // 1024 characters of two bytes each
  for (int i = 0; i < 1024; ++i) accented_1024 += "\xC3\xA9";
  std::string lines_to_600;
  for (int i = 1; i < 600; ++i) lines_to_600 += "# filler\n";
  struct Row {
    const char* what;
    std::string content;
    std::int32_t code;
    const char* message;
  } rows[] = {
      {"empty file", "", -6, "File is empty."},
      {"comments only", "# nothing\n\n", 0, "No program text was read."},
      {"duplicate", "# c\n1\tA\n1\tB\n", -1503,
       "Duplicate in program text at line 3."},
      {"too long", ok_line + "2\t" + std::string(1025, 'x') + "\n", -1002,
       "String too long at line 2."},
      {"number without text", ok_line + "2\t\n", -502,
       "Missing string at line 2."},
      {"no number", "text\n", -501, "Missing string at line 1."},
      {"number too large", "32768\tbig\n", -501, "Missing string at line 1."},
      {"not UTF-8", "1\t\xE9t\xE9\n", -4, "Text not recovered."},
      // Lines past 500 are named in the message; the codes stop at 500.
      {"duplicate at line 600", "1\tA\n" + lines_to_600.substr(9) + "1\tB\n",
       -2100, "Duplicate in program text at line 600."},
      {"too long at line 600",
       lines_to_600 + "2\t" + std::string(1025, 'x') + "\n", -1500,
       "String too long at line 600."},
      {"missing at line 600", lines_to_600 + "2\n", -1000,
       "Missing string at line 600."},
  };
  for (const Row& row : rows) {
    std::string message;
    EXPECT_EQ(Load(row.content, &message), row.code) << row.what;
    EXPECT_EQ(message, row.message) << row.what;
  }
  EXPECT_EQ(Load(at_1024), 1);
  EXPECT_EQ(Load("6\t" + accented_1024 + "\n"), 1);
}

TEST_F(ProgramTextsTest, CannotOpenAMissingFileOrAFolder) {
  for (const std::string& path :
       {dir_.Path("missing.dat"), dir_.MakeDir("folder.dat")}) {
    EXPECT_EQ(auxkit::_lt(path, 0), auxkit::kCannotOpen);
    Status status = LoadProgramTextsFrom(path);
    EXPECT_EQ(status.kind(), Status::Kind::kFailed);
    EXPECT_EQ(status.message(),
              "Cannot open file containing program text.\r\n" + path);
  }
}

TEST(ProgramTextLoadMessageTest, WordsEveryCode) {
  struct Row {
    std::int32_t code;
    const char* message;
  } rows[] = {
      {0, "No program text was read."},
      {-1, "Cannot open file containing program text.\r\n/opt/x/tavo.dat"},
      {-2, "Particular memory allocation error."},
      {-3, "Too much program text."},
      {-4, "Text not recovered."},
      {-5, "Error -5"},
      {-6, "File is empty."},
      {-7, "Error reading file."},
      {-8, "General memory allocation error."},
      {-500, "Error -500"},
      {-1000, "Missing string at line 500."},
      {-1001, "String too long at line 1."},
      {-1500, "String too long at line 500."},
      {-1501, "Duplicate in program text at line 1."},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ProgramTextLoadMessage(row.code, "/opt/x/tavo.dat"), row.message)
        << row.code;
  }
}

// The program's own file, as test_main loaded it.
TEST(ProgramTextFileTest, HoldsATextForEveryNumberTheProgramShows) {
  const int cited[] = {
      1,  2,  3,  4,  5,  6,  7,   17,  18,  19,  20,  23,  24,  25, 26, 27,
      28, 29, 30, 31, 32, 33, 34,  35,  36,  37,  38,  40,  41,  42, 43, 45,
      46, 47, 48, 49, 50, 51, 53,  54,  55,  56,  57,  58,  59,  60, 61, 62,
      63, 64, 65, 66, 68, 71, 72,  73,  74,  75,  76,  82,  83,  86, 88, 89,
      90, 91, 92, 93, 98, 99, 100, 155, 184, 185, 310, 424, 428, 429};
  for (int number : cited) {
    std::string text = GetProgramText(static_cast<std::int16_t>(number));
    ASSERT_FALSE(text.empty()) << number;
    // Callers add their own spaces around a text.
    EXPECT_NE(text.front(), ' ') << number;
    EXPECT_NE(text.back(), ' ') << number;
  }
  EXPECT_EQ(GetProgramText(1), "Orvane File Search");
  EXPECT_EQ(GetProgramText(7), "TAVO");
  EXPECT_EQ(GetProgramText(310), "Orvane Systems");
  EXPECT_EQ(GetProgramText(2), "file://docs/index_module.htm");
  EXPECT_EQ(GetProgramText(3), "file://docs/search_module.htm");
  EXPECT_EQ(GetProgramText(6), "file://docs/index.htm");
  // The large display window compares its copy button with these captions.
  EXPECT_EQ(GetProgramText(428), "Continue");
  EXPECT_EQ(GetProgramText(429), "Pause");
  // The pause test compares the button's caption with 30.
  EXPECT_NE(GetProgramText(30), GetProgramText(50));

  // Placeholders the callers replace, once each.
  for (auto [number, part] : {std::pair{55, "99"}, {42, "ocx"}, {98, "N"}}) {
    std::string text = GetProgramText(static_cast<std::int16_t>(number));
    EXPECT_NE(text.find(part), std::string::npos) << number;
    EXPECT_EQ(text.find(part), text.rfind(part)) << number;
  }

  std::ifstream file(testing::SourceDataFolder() / "tavo.dat");
  int lines = 0;
  for (std::string line; std::getline(file, line);) ++lines;
  EXPECT_LT(lines, 500);  // the line-numbered codes carry lines up to 500
}

}  // namespace
}  // namespace orvane
