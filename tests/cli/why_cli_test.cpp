// `orvane why` end to end: a tree with a file for each rule that leaves a
// file out, indexed by `orvane index` (which keeps its settings beside the
// index), and the answer for each file and word word for word.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/temp_tree.h"

namespace orvane::testing {
namespace {

namespace fs = std::filesystem;

// Text of at least 100 bytes, the minimum size of the run below.
std::string Filler(const std::string& words) {
  std::string text = words;
  while (text.size() < 120) text += " filler text";
  return text + "\r\n";
}

class WhyCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("top/a.txt", Filler("alpha beta gamma the alpha"));
    dir_.Write("top/b.pdf", Filler("alpha"));
    dir_.Write("top/small.txt", "alpha, too small\r\n");
    dir_.Write("top/bin.txt", Filler("alpha") + std::string(5, '\x01'));
    // Four special letters in Windows-1252: e acute, e grave, a grave,
    // u umlaut.
    dir_.Write("top/accents.txt", Filler("caf\xE9 cr\xE8me \xE0 m\xFC"));
    dir_.Write("top/skip.txt", Filler("alpha"));
    dir_.Write("top/mysecret.txt", Filler("alpha"));
    dir_.Write("top/docs/d.txt", Filler("delta"));
    dir_.Write("top/docs/old/x.txt", Filler("alpha"));
    dir_.Write("top/other/y.txt", Filler("alpha"));
    Outcome run = Orvane(
        {"index", "--top", top(), "--out", dir_.folder(), "--project", "w",
         "--title", "Why", "--include", "docs", "--subsub", "--exclude-file",
         "skip.txt", "--exclude-paths", "old, secret", "--min-size", "100",
         "--special-letters", "1", "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    index_ = dir_.folder() + "w_index.tavo";
    // A file made after the index: its time says so, whatever the clock's
    // grain.
    const std::string late = dir_.Write("top/new.txt", Filler("alpha"));
    fs::last_write_time(late,
                        fs::last_write_time(index_) + std::chrono::seconds(10));
  }
  Outcome Orvane(const std::vector<std::string>& args) {
    std::string command = "TMPDIR=" + Quote(dir_.folder()) + " " +
                          Quote(ORVANE_PROGRAM);
    for (const std::string& a : args) command += " " + Quote(a);
    return RunShellCommand(command, dir_.Path("err.txt"));
  }
  Outcome Why(std::vector<std::string> args) {
    args.insert(args.begin(), {"why", "--index", index_});
    return Orvane(args);
  }
  std::string top() const { return dir_.folder() + "top/"; }

  TempDir dir_;
  std::string index_;
};

TEST_F(WhyCliTest, EachRuleThatLeftAFileOutIsNamedWithItsSetting) {
  struct Case {
    std::string file;
    std::string answer;  // after the path
  };
  const Case cases[] = {
      {"a.txt", " is in the index (file 1 of 2)."},
      {"docs/d.txt", " is in the index (file 2 of 2)."},
      {"b.pdf",
       " is not in the index: its extension \"pdf\" is one of the excluded "
       "extensions."},
      {"small.txt",
       " is not in the index: it holds 18 bytes, under the minimum file size "
       "of 100 bytes."},
      {"bin.txt",
       " is not in the index: it is not text: the text check found control "
       "characters in its first 8,192 characters (3.79 %), the first of code "
       "1 at byte 128."},
      {"accents.txt",
       " is not in the index: it holds too many special letters, and files "
       "with special letters are excluded: 4 different ones (\xC3\xA9 "
       "\xC3\xA8 \xC3\xA0 \xC3\xBC), 3.20 % of the characters looked at."},
      {"skip.txt",
       " is not in the index: it is one of the excluded files "
       "(\"skip.txt\")."},
      {"mysecret.txt",
       " is not in the index: its path holds the excluded filepath "
       "\"secret\"."},
      {"docs/old/x.txt",
       " is not in the index: its folder \"docs/old\" holds the excluded "
       "filepath \"old\"."},
      {"other/y.txt",
       " is not in the index: it lies outside the included subfolders: the "
       "folder \"other\" is not one of them."},
      {"new.txt",
       " is not in the index: it was created, changed or moved here after "
       "the index was made."},
      {"gone.txt", " does not exist."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Outcome run = Why({top() + c.file});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, top() + c.file + c.answer + "\n");
  }
}

TEST_F(WhyCliTest, EachWordIsAnsweredInTheLexiconOrWhyNot) {
  Outcome run = Why({top() + "a.txt", "alpha", "delta", "zebra", "e-mail",
                     std::string(61, 'k'), "caf\xC3\xA9", "baaad", "the",
                     "fi*", "zz*"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(
      run.out,
      top() + "a.txt is in the index (file 1 of 2).\n"
              "The word \"alpha\" is in the lexicon: 1 file holds it, and its "
              "score in this file is 64 (of 255).\n"
              "The word \"delta\" is in the lexicon: 1 file holds it, but not "
              "this file.\n"
              "The word \"zebra\" is not in the lexicon: it never occurs in an "
              "indexed file.\n"
              "The word \"e-mail\" is not in the lexicon: it holds characters "
              "that split it into the words \"e\", \"mail\".\n"
              "The word \"" + std::string(61, 'k') +
          "\" is not in the lexicon: it is too long: words of more than 60 "
          "characters are not indexed.\n"
          "The word \"caf\xC3\xA9\" is not in the lexicon: it holds special "
          "letters, and words with special letters are excluded.\n"
          "The word \"baaad\" is not in the lexicon: it holds three identical "
          "characters in a row, and such words are not indexed.\n"
          "The word \"the\" is in the lexicon: 1 file holds it, and its score "
          "in this file is 32 (of 255). It is a common word: only its first "
          "occurrence in a file counts.\n"
          "The stem \"fi*\" matches 1 word of the lexicon.\n"
          "The stem \"zz*\" matches no word of the lexicon.\n");
}

TEST_F(WhyCliTest, APhraseIsConfirmedInTheFileOrNot) {
  Outcome held = Why({"--phrase", top() + "a.txt", "beta", "gamma"});
  EXPECT_EQ(held.status, 0) << held.err;
  EXPECT_NE(held.out.find("The phrase \"beta gamma\" is confirmed in this "
                          "file.\n"),
            std::string::npos)
      << held.out;
  Outcome not_held = Why({"--phrase", top() + "a.txt", "gamma", "beta"});
  EXPECT_NE(not_held.out.find("The phrase \"gamma beta\" is not in this file: "
                              "its words do not stand there together in that "
                              "order.\n"),
            std::string::npos)
      << not_held.out;
}

// The tree moved after indexing: the kept rules still hold, below the top
// folder given.
TEST_F(WhyCliTest, AMovedTreeIsJudgedByTheRulesItWasIndexedWith) {
  const std::string moved = dir_.folder() + "moved/";
  fs::rename(dir_.Path("top"), dir_.Path("moved"));
  Outcome outside = Why({"--top", moved, moved + "other/y.txt"});
  EXPECT_EQ(outside.status, 0) << outside.err;
  EXPECT_EQ(outside.out, moved +
                             "other/y.txt is not in the index: it lies outside "
                             "the included subfolders: the folder \"other\" is "
                             "not one of them.\n");
  Outcome skipped = Why({"--top", moved, moved + "skip.txt"});
  EXPECT_EQ(skipped.out, moved +
                             "skip.txt is not in the index: it is one of the "
                             "excluded files (\"skip.txt\").\n");
  Outcome indexed = Why({"--top", moved, moved + "docs/d.txt"});
  EXPECT_EQ(indexed.out, moved + "docs/d.txt is in the index (file 2 of 2).\n");
}

TEST_F(WhyCliTest, WithoutKeptSettingsTheAnswerSaysWhatItTook) {
  fs::remove(dir_.folder() + "w_settings.usri");
  // No settings saved for the next run either: the defaults, which know no
  // top folder.
  Outcome unknown_top = Why({top() + "b.pdf"});
  EXPECT_EQ(unknown_top.status, 0) << unknown_top.err;
  const std::string defaults =
      "The settings this index was made with are not kept beside it; the "
      "answer takes the default settings.\n";
  EXPECT_EQ(unknown_top.out,
            defaults +
                "The top folder of this index is not known: choose the folder "
                "that holds its files, and ask again.\n");
  Outcome run = Why({"--top", top(), top() + "b.pdf"});
  // Documents are read by default: a ".pdf" file is judged as any other
  // until its first bytes are looked at, and this one is short.
  EXPECT_EQ(run.out, defaults + top() +
                         "b.pdf is not in the index: it holds 127 bytes, under "
                         "the minimum file size of 400 bytes.\n");
  Outcome refused = Orvane({"why", top() + "a.txt"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("--index is required"), std::string::npos);
}

}  // namespace
}  // namespace orvane::testing
