#include "engine/text/markup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::AllowEveryone;
using testing::RunUnprivileged;
using testing::TempDir;
using testing::Utf16File;
using testing::Visible;

TEST(GetExtensionTest, TakesTheFileNamesLastDot) {
  struct Row {
    std::string_view path;
    bool lower_case;
    std::string_view extension;
  } rows[] = {
      {"/home/a/report.PDF", true, "pdf"},
      {"/home/a/report.PDF", false, "PDF"},
      {"/home/a/archive.tar.gz", true, "gz"},
      {"/home/my.docs/readme", true, ""},  // the dot of a folder
      {"/home/my.docs/", true, ""},
      {"/home/a/file.", true, ""},
      {"/home/a/.profile", true, "profile"},
      {"notes.Txt", true, "txt"},
      {"noext", true, ""},
      {"", true, ""},
      // Bytes of a UTF-8 name are not folded as single-byte letters.
      {"/a/b.T\xC3\x89X", true, "t\xC3\x89x"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(GetExtension(row.path, row.lower_case), row.extension)
        << row.path;
  }
}

class GetHtmlTitleTest : public ::testing::Test {
 protected:
  std::string Title(std::string_view name, std::string_view bytes) {
    return GetHtmlTitle(dir_.Write(name, bytes), nullptr, 80);
  }
  TempDir dir_;
};

TEST_F(GetHtmlTitleTest, ReadsTheTitleInItsOwnCase) {
  struct Row {
    std::string_view page, title;
  } rows[] = {
      {"<html><head><title>My Page</title></head>", "My Page"},
      {"<HTML>\r\n<HEAD>\r\n  <TITLE>  Shouting  </TITLE>\r\n", "Shouting"},
      // A title tag that closes on the next line.
      {"<head><title>Annual\r\nReport 2023</title>\r\n</head>",
       "Annual Report 2023"},
      // One that does not close there either ends with the joined text.
      {"<title>Start\r\nmore\r\nlast</title>", "Start more"},
      {"<title>Open\r\n", "Open"},
      {"<title>A &#151; B</title>", "A &#8212; B"},
      {"<title>\xE2\x80\x9CQuoted\xE2\x80\x9D \xE2\x80\x93 x</title>",
       "\"Quoted\" - x"},
      {"<title>caf\xE9</title>", "caf\xE9"},
      // UTF-8 sequences are decoded after the punctuation is made plain.
      {"\xEF\xBB\xBF<title>Caf\xC3\xA9 \xE2\x80\x93 Section\xC2\xA0" "9</title>",
       "Caf\xE9 - Section\xA0" "9"},
      // LF does not end a line: the page is one line.
      {"<html>\n<title>Unix page</title>\n</head>", "Unix page"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Visible(Title("page.htm", row.page)), Visible(row.title))
        << Visible(row.page);
  }
}

TEST_F(GetHtmlTitleTest, GivesUntitledOrNoTitle) {
  struct Row {
    std::string_view page, result;
  } rows[] = {
      {"<html><head>\r\n<meta x>\r\n</head>\r\n<title>Late</title>",
       "Untitled"},
      // On one line the title is looked for first.
      {"<head></head><title>Same line</title>", "Same line"},
      {"<html>\r\n<body>text</body>\r\n", "No title"},
      {"<title>   </title>", "No title"},
      {"<title></title></head>", "No title"},
      {"", "No title"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Title("page.html", row.page), row.result) << Visible(row.page);
  }
}

TEST_F(GetHtmlTitleTest, LooksOnlyAtTheFirst4096Characters) {
  const std::string line(1024, 'x');
  std::string filler;
  for (int k = 0; k < 4; ++k) filler += line + "\r\n";
  // 4096 characters read: the next line is still looked at.
  EXPECT_EQ(Title("a.htm", filler + "<title>T</title>\r\n"), "T");
  // 4097: the budget is spent.
  EXPECT_EQ(Title("b.htm", filler + "y\r\n<title>T</title>\r\n"), "Untitled");
  // Blank lines count as well.
  EXPECT_EQ(Title("c.htm", filler + " \r\n<title>T</title>\r\n"), "Untitled");
}

TEST_F(GetHtmlTitleTest, StatusTextsForMissingAndOtherFiles) {
  EXPECT_EQ(GetHtmlTitle(dir_.Path("missing.htm"), nullptr, 80),
            "File not found");
  EXPECT_EQ(GetHtmlTitle(dir_.MakeDir("folder.htm"), nullptr, 80),
            "File not found");
  EXPECT_EQ(Title("page.shtml", "<title>S</title>"), "S");
  EXPECT_EQ(Title("page.HTM", "<title>U</title>"), "U");
  EXPECT_EQ(Title("notes.txt", "<title>T</title>"), "Not HTML file");
  EXPECT_EQ(Title("htm.d/notes", "<title>T</title>"), "Not HTML file");
}

TEST_F(GetHtmlTitleTest, UnreadableFileGivesTheError) {
  // The memory file of a process opens but fails its first read.
  std::filesystem::path failing = dir_.Path("failing.htm");
  std::filesystem::create_symlink("/proc/self/mem", failing);
  EXPECT_EQ(GetHtmlTitle(failing, nullptr, 80), "Error: Input/output error");
  EXPECT_EQ(GetMetaContent(failing, "description", 100),
            "Error: Input/output error");
  std::filesystem::path text = dir_.Path("failing.txt");
  std::filesystem::create_symlink("/proc/self/mem", text);
  std::string first;
  EXPECT_EQ(GetHtmlTitle(text, &first, 80), "Error: Input/output error");

  if (geteuid() == 0) return;  // root opens every file
  std::string locked = dir_.Write("locked.htm", "<title>x</title>");
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  EXPECT_EQ(GetHtmlTitle(locked, nullptr, 80), "Error: Permission denied");
}

TEST_F(GetHtmlTitleTest, FirstTextOfOtherFiles) {
  struct Row {
    std::string_view bytes;
    int max;
    std::string_view first_text;
  } rows[] = {
      // Empty lines are passed over; leading blanks and controls go.
      {"\r\n  \r\n\tFirst line\nsecond\n\nthird\r\nnext", 80,
       "First line / second / third"},
      {"\tFirst line\nsecond", 10, "First line"},
      {"a   b\x01\tc\r\n", 80, "a bc"},
      {"a\nb\n", 80, "a / b / "},
      // Each line is cut to four times the length first: eight blanks and
      // nothing else remain of this one.
      {"        abc\r\nx", 2, "x"},
      {"", 80, ""},
      {"\r\n\r\n", 80, ""},
      // Each line is decoded before it is cut: eight characters, not four.
      {"\xEF\xBB\xBF\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9x", 2,
       "\xE9\xE9"},
      {"\xC3\xA9t\xC3\xA9 \xE2\x80\x9Cok\xE2\x80\x9D\r\n", 80, "\xE9t\xE9 \"ok\""},
  };
  for (const Row& row : rows) {
    std::string first = "old";
    EXPECT_EQ(GetHtmlTitle(dir_.Write("f.txt", row.bytes), &first, row.max),
              "Not HTML file");
    EXPECT_EQ(Visible(first), Visible(row.first_text)) << Visible(row.bytes);
  }
}

// Issue 14: a UTF-16 page or text is read decoded, and what it holds is
// not decoded once more as UTF-8.
TEST_F(GetHtmlTitleTest, ReadsUtf16Files) {
  for (bool big_endian : {false, true}) {
    std::string page = dir_.Write(
        "page.htm", Utf16File("<head><title>Caf\xC3\xA9 \xE2\x80\x93 \xC3\x83\xC2\xA9"
                              "</title><meta name=\"description\" "
                              "content=\"\xC3\x9C" "ber\">",
                              big_endian));
    EXPECT_EQ(Visible(GetHtmlTitle(page, nullptr, 80)),
              Visible("Caf\xE9 \x96 \xC3\xA9"));
    EXPECT_EQ(Visible(GetMetaContent(page, "description", 6144)),
              Visible("\xDC" "ber"));
    std::string first;
    EXPECT_EQ(GetHtmlTitle(dir_.Write("t.txt", Utf16File("\r\n\xC3\xA9t\xC3\xA9\n!",
                                                         big_endian)),
                           &first, 80),
              "Not HTML file");
    EXPECT_EQ(Visible(first), Visible("\xE9t\xE9 / !"));
  }
}

class GetMetaContentTest : public ::testing::Test {
 protected:
  std::string Description(std::string_view bytes, int max = 6144) {
    return GetMetaContent(dir_.Write("page.htm", bytes), "description", max);
  }
  TempDir dir_;
};

TEST_F(GetMetaContentTest, ReadsTheNamedTagsContent) {
  struct Row {
    std::string_view page, content;
  } rows[] = {
      {"<head>\r\n<meta name=\"description\" content=\"A fine page\">",
       "A fine page"},
      {"<META NAME=\" Description \" CONTENT=\"  Mixed Case  \">",
       "Mixed Case"},
      {"<meta name=\"keywords\" content=\"k\">\r\n"
       "<meta name=\"description\" content=\"second\">",
       "second"},
      // Several tags on one line: each is tried.
      {"<meta charset=\"utf-8\"><meta name=\"keywords\" content=\"k\">"
       "<meta name=\"description\" content=\"third\">",
       "third"},
      {"<meta name=\"description\" content=\"runs on\r\nto here\">", "runs on"},
      // Content before the name, or not right behind it: no description.
      {"<meta content=\"First\" name=\"description\"><link href=\"a.css\">",
       ""},
      {"<meta name=\"description\" lang=\"en\" content=\"x\">", ""},
      {"<meta name=\"description\">", ""},
      {"</head>\r\n<meta name=\"description\" content=\"late\">", ""},
      {"<meta name=\"descriptions\" content=\"no\">", ""},
      {"", ""},
      {"<meta name=\"description\" content=\" \xC3\x9C" "ber \xE2\x82\xAC\xE2\x80\xA6\">",
       "\xDC" "ber \x80..."},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Description(row.page), row.content) << Visible(row.page);
  }
}

// Names are compared lower-cased as the code page lower-cases the whole
// line: an accented capital matches its small letter, and a Z caron only
// on a line without special letters.
TEST_F(GetMetaContentTest, ComparesNamesLowerCased) {
  struct Row {
    std::string_view page, name, content;
  } rows[] = {
      {"<MeTa NaMe=\"DeScRiPtIoN\" cOnTeNt=\"mixed\">", "description", "mixed"},
      {"<meta name=\"d\xC9scription\" content=\"no\">", "description", ""},
      {"<meta name=\"CAF\xC9\" content=\"yes\">", "caf\xE9", "yes"},
      {"<meta name=\"\x8E\" content=\"plain\">", "\x9E", "plain"},
      {"<meta name=\"\x8E\" content=\"\xC9\">", "\x9E", ""},
  };
  for (const Row& row : rows) {
    std::string path = dir_.Write("page.htm", row.page);
    EXPECT_EQ(Visible(GetMetaContent(path, row.name, 6144)),
              Visible(row.content))
        << Visible(row.page);
    EXPECT_EQ(Visible(FileHead(path).MetaContent(row.name, 6144)),
              Visible(row.content))
        << Visible(row.page);
  }
}

TEST_F(GetMetaContentTest, ReadsOnlyUpToTheBudget) {
  // 37 characters.
  const std::string meta = "<meta name=\"description\" content=\"d\">";
  EXPECT_EQ(Description(std::string(39, 'x') + "\r\n" + meta, 40), "d");
  EXPECT_EQ(Description(std::string(40, 'x') + "\r\n" + meta, 40), "");
  // Each line is cut to the budget before it is looked at.
  EXPECT_EQ(Description(meta, 30), "");
  EXPECT_EQ(Description(meta, 37), "d");
}

TEST_F(GetMetaContentTest, StatusTexts) {
  EXPECT_EQ(GetMetaContent(dir_.Path("missing.txt"), "description", 100),
            "Not HTML file");
  EXPECT_EQ(GetMetaContent(dir_.Path("missing.htm"), "description", 100),
            "File not found");
  EXPECT_EQ(GetMetaContent(dir_.Write("a.txt",
                                      "<meta name=\"description\" "
                                      "content=\"d\">"),
                           "description", 100),
            "Not HTML file");
}

// FileHead reads a file's start once for both readers; whatever the file,
// it must give what GetHtmlTitle and GetMetaContent give, also when the
// lines run past the part it holds.
TEST(FileHeadTest, GivesWhatTheTwoReadersGive) {
  const std::string meta = "<meta name=\"description\" content=\"About it\">";
  const std::size_t first = FileHead::kFirstRead;
  const std::size_t most = FileHead::kMaxBytes;
  struct Row {
    std::string name;
    std::string bytes;
  };
  std::vector<Row> rows = {
      {"page.htm", "<html><head><title>T</title>\r\n" + meta + "\r\n</head>"},
      {"unix.htm", "<html>\n<head><title>Unix</title>\n" + meta + "\n</head>"},
      {"late.htm", std::string(5000, 'x') + "\r\n<title>Late</title>\r\n" + meta},
      {"deep.htm", "<title>Deep</title>\r\n" + std::string(7000, ' ') + "\r\n" + meta},
      // One line longer than the first read, than the head, than both.
      {"long.htm", "<title>Long</title>" + std::string(first, 'x') + meta},
      {"huge.htm", std::string(most, 'y') + "<title>Huge</title>" + meta},
      {"untitled.htm", "<head>\r\n" + meta + "</head>\r\n<title>No</title>"},
      {"open.htm", "<title>Open\r\n"},
      {"empty.htm", ""},
      {"empty.txt", ""},
      {"text.txt", "First words\r\nsecond line"},
      {"blank.txt", "\r\n   \r\n\t\r\nAfter blanks"},
      {"blanks.txt", std::string(first + 10, ' ')},
      {"lf.txt", "one\ntwo\nthree\n"},
      {"longlf.txt", std::string(most + 100, 'z')},
      {"far.txt", std::string(2 * most, '\r') + "far"},
      {"utf16.htm", Utf16File("<title>Caf\xC3\xA9</title>\r\n" + meta, false)},
      {"utf16.txt", Utf16File("\r\n\xC3\x9C" "ber\r\nzwei", true)},
      {"utf16long.htm",
       Utf16File(std::string(first, 'x') + "\r\n<title>L</title>" + meta, true)},
  };
  // CR LF split by the end of the first read, and by the end of the head.
  for (std::size_t at : {first, most}) {
    rows.push_back({"split" + std::to_string(at) + ".htm",
                    std::string(at - 1, 'a') + "\r\n<title>Split</title>\r\n" + meta});
  }
  TempDir dir;
  for (const Row& row : rows) {
    std::string path = dir.Write(row.name, row.bytes);
    std::string expected_text;
    std::string expected_title = GetHtmlTitle(path, &expected_text, 80);
    std::string expected_meta = GetMetaContent(path, "description", 6144);
    // Both orders: the second reader starts at the file's first byte too.
    for (bool title_first : {true, false}) {
      FileHead head(path);
      std::string text = "stale";
      std::string title;
      std::string content;
      if (title_first) {
        title = head.Title(&text, 80);
        content = head.MetaContent("description", 6144);
      } else {
        content = head.MetaContent("description", 6144);
        title = head.Title(&text, 80);
      }
      EXPECT_EQ(title, expected_title) << row.name;
      EXPECT_EQ(Visible(text), Visible(expected_text)) << row.name;
      EXPECT_EQ(content, expected_meta) << row.name;
    }
  }
}

TEST(FileHeadTest, FilesThatCannotBeRead) {
  TempDir dir;
  const std::string folder = dir.MakeDir("folder.htm");
  const std::string missing = dir.Path("missing.htm");
  for (const std::string& path : {folder, missing}) {
    FileHead head(path);
    std::string text;
    EXPECT_EQ(head.Title(&text, 80), "File not found") << path;
    EXPECT_EQ(head.MetaContent("description", 100), "File not found") << path;
  }
  EXPECT_EQ(FileHead(dir.Path("missing.txt")).MetaContent("description", 100),
            "Not HTML file");

  std::string locked = dir.Write("locked.htm", "<title>Locked</title>");
  chmod(locked.c_str(), 0);
  AllowEveryone(dir.path());
  int same = RunUnprivileged([&] {
    FileHead head(locked);
    std::string text;
    bool title = head.Title(&text, 80) == GetHtmlTitle(locked, nullptr, 80);
    bool meta = head.MetaContent("description", 100) ==
                GetMetaContent(locked, "description", 100);
    bool refused = GetHtmlTitle(locked, nullptr, 80).rfind("Error: ", 0) == 0;
    return title && meta && refused ? 1 : 0;
  });
  EXPECT_EQ(same, 1);
}

}  // namespace
}  // namespace orvane
