// Files read as the characters they hold (issue 14), end to end: the same
// text stored in five encodings gives the same index, the same results box
// and the same reports; and a tree without UTF-8 sequences or UTF-16 files
// gives the index it always gave.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/common/cp1252.h"
#include "engine/text/compression.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_tree.h"

namespace orvane::testing {
namespace {

class EncodingsTest : public ::testing::Test {
 protected:
  Outcome Orvane(const std::vector<std::string>& args) {
    std::string command = "ORVANE_OPEN=true HOME=" + Quote(dir_.folder()) +
                          " XDG_DATA_HOME=" + Quote(dir_.folder()) + " " +
                          Quote(ORVANE_PROGRAM);
    for (const std::string& a : args) command += " " + Quote(a);
    return RunShellCommand(command, dir_.Path("err.txt"));
  }

  // Indexes top (its own files) into out as project "p"; special letters
  // allowed unless asked.
  void Index(const std::string& top, const std::string& out,
             bool exclude_special_letters = false) {
    Outcome run = Orvane({"index", "--top", top, "--out", out, "--project", "p",
                          "--title", "Encodings", "--min-size", "0",
                          "--special-letters",
                          exclude_special_letters ? "1" : "0", "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err << run.out;
  }

  // The plain text of a compressed index file.
  std::string IndexText(const std::string& index) {
    std::string plain = dir_.Path("plain.txt");
    if (squeez::_dcf(index, plain, false) < 0) return "(not compressed)";
    std::string text = ReadFileBytes(plain);
    std::filesystem::remove(plain);
    return text;
  }

  TempDir dir_;
};

// The text of the tree, as UTF-8: French, German and typographic
// characters, all in Windows-1252, at the start of long files so that every
// extract gets the digit 1 whatever the byte length of the encoding.
const std::string kFiller = [] {
  std::string filler;
  for (int i = 0; i < 60; ++i) filler += "lorem ipsum dolor sit amet,\r\n";
  return filler;
}();
const std::string kNotes =
    "Au caf\xC3\xA9 \xC2\xAB Chez H\xC3\xA9l\xC3\xA8ne \xC2\xBB, le cr\xC3\xA8me "
    "co\xC3\xBBte 3 \xE2\x82\xAC.\r\n"
    "Gr\xC3\xB6\xC3\x9F" "e \xC3\x9C" "bung: \xC2\xBBStra\xC3\x9F" "e\xC2\xAB "
    "\xE2\x80\x9E" "na\xC3\xAFve\xE2\x80\x9A \xC5\x92uvre \xE2\x80\xB0\r\n" +
    kFiller;
const std::string kPage =
    "<html><head><title>Caf\xC3\xA9 \xC2\xAB H\xC3\xA9l\xC3\xA8ne \xC2\xBB"
    "</title>\r\n<meta name=\"description\" content=\"Gr\xC3\xB6\xC3\x9F" "e "
    "\xC3\x9C" "bung \xE2\x82\xAC\">\r\n</head><body>\r\n"
    "<p>Le caf\xC3\xA9 de la Gr\xC3\xB6\xC3\x9F" "e.</p>\r\n" +
    kFiller + "</body></html>\r\n";

struct Encoding {
  std::string name;
  std::string (*encode)(const std::string& utf8);
};

const Encoding kEncodings[] = {
    {"windows-1252", [](const std::string& t) { return *DisplayToContent(t); }},
    {"utf-8", [](const std::string& t) { return t; }},
    {"utf-8 with mark", [](const std::string& t) { return "\xEF\xBB\xBF" + t; }},
    {"utf-16le", [](const std::string& t) { return Utf16File(t, false); }},
    {"utf-16be", [](const std::string& t) { return Utf16File(t, true); }},
};

TEST_F(EncodingsTest, FiveEncodingsGiveTheSameWordsResultsAndReports) {
  struct Results {
    std::string index_text, data_file, results_box, text_report, html_report;
  };
  std::vector<Results> all;
  for (const Encoding& encoding : kEncodings) {
    SCOPED_TRACE(encoding.name);
    const std::string top = dir_.folder() + encoding.name + "/";
    dir_.Write(encoding.name + "/notes.txt", encoding.encode(kNotes));
    dir_.Write(encoding.name + "/page.htm", encoding.encode(kPage));
    const std::string out = dir_.MakeDir("out-" + encoding.name);
    Index(top, out);
    Results results;
    results.index_text = IndexText(out + "/p_index.tavo");
    results.data_file = ReadFileBytes(out + "/p_data.tavo");
    const std::vector<std::string> search = {
        "search", "--index", out + "/p_index.tavo", "--top", top, "--type", "any"};
    // The top folder differs from tree to tree; the rest must not.
    auto without_top = [&](std::string text) {
      for (std::size_t at; (at = text.find(top)) != std::string::npos;) {
        text.replace(at, top.size(), "TOP/");
      }
      return text;
    };
    auto run = [&](std::vector<std::string> more) {
      std::vector<std::string> args = search;
      args.insert(args.end(), more.begin(), more.end());
      Outcome outcome = Orvane(args);
      EXPECT_EQ(outcome.status, 0) << outcome.err;
      return without_top(outcome.out);
    };
    results.results_box = run({"caf\xC3\xA9"});
    results.text_report =
        run({"--report", "text", "--descriptions", "1", "caf\xC3\xA9", "\xC3\xBC" "bung"});
    const std::string html = dir_.Path("report-" + encoding.name + ".htm");
    run({"--report", "html", "--html-out", html, "--no-open", "--descriptions", "1",
         "caf\xC3\xA9", "\xC3\xBC" "bung"});
    results.html_report = without_top(ReadFileBytes(html));
    // Every accented word is found, and a phrase across them confirmed.
    for (std::string word : {"gr\xC3\xB6\xC3\x9F" "e", "H\xC3\xA9L\xC3\xA8NE",
                             "na\xC3\xAFve", "stra\xC3\x9F" "e", "co\xC3\xBBte"}) {
      EXPECT_EQ(Orvane({"search", "--index", out + "/p_index.tavo", "--top", top,
                        word}).status, 0) << word;
    }
    EXPECT_EQ(Orvane({"search", "--index", out + "/p_index.tavo", "--top", top,
                      "--type", "phrase", "chez", "h\xC3\xA9l\xC3\xA8ne", "le",
                      "cr\xC3\xA8me"}).status, 0);
    all.push_back(results);
  }

  // The Windows-1252 tree, read as before, shows the characters right.
  const Results& first = all[0];
  EXPECT_EQ(first.results_box,
            "TOP/notes.txt\n"
            "\"Au caf\xC3\xA9 \xC2\xAB Chez H\xC3\xA9l\xC3\xA8ne \xC2\xBB, le "
            "cr\xC3\xA8me co\xC3\xBBte 3 \xE2\x82\xAC.\"\n\n"
            "TOP/page.htm\n"
            "Caf\xC3\xA9 \xC2\xAB H\xC3\xA9l\xC3\xA8ne \xC2\xBB\n\n"
            "Number of files found with matches: 2\n");
  EXPECT_NE(first.text_report.find(
                "1} ... caf\xC3\xA9 \xC2\xAB Chez H\xC3\xA9l\xC3\xA8ne \xC2\xBB, le "
                "cr\xC3\xA8me co\xC3\xBBte 3 \xE2\x82\xAC./ Gr\xC3\xB6\xC3\x9F" "e "
                "\xC3\x9C" "bung: \xC2\xBBStra\xC3\x9F" "e\xC2\xAB ..."),
            std::string::npos)
      << first.text_report;
  EXPECT_NE(first.text_report.find("Gr\xC3\xB6\xC3\x9F" "e \xC3\x9C" "bung \xE2\x82\xAC"),
            std::string::npos);
  EXPECT_NE(first.html_report.find("<meta charset=\"windows-1252\">"),
            std::string::npos);
  // Titles and descriptions as they are stored, extracts with entities.
  EXPECT_NE(first.html_report.find("Caf\xE9 \xAB H\xE9l\xE8ne \xBB</a>"),
            std::string::npos);
  EXPECT_NE(first.html_report.find("Gr\xF6\xDF" "e \xDC" "bung \x80</font>"),
            std::string::npos);
  EXPECT_NE(first.html_report.find("<b>caf&eacute;</b>"), std::string::npos);
  for (std::size_t i = 1; i < all.size(); ++i) {
    SCOPED_TRACE(kEncodings[i].name);
    EXPECT_EQ(Visible(all[i].index_text), Visible(first.index_text));
    EXPECT_TRUE(all[i].data_file == first.data_file);
    EXPECT_EQ(all[i].results_box, first.results_box);
    EXPECT_EQ(all[i].text_report, first.text_report);
    EXPECT_EQ(Visible(all[i].html_report), Visible(first.html_report));
  }
}

// The nine typographic sequences that were always made plain stay so in
// UTF-8 files only: in a Windows-1252 or UTF-16 file a quote is the
// character it is.
TEST_F(EncodingsTest, TypographicQuotesArePlainInUtf8Only) {
  const std::string text = "L\xE2\x80\x99" "\xC3\xA9t\xC3\xA9 \xE2\x80\x94 enfin.\r\n" + kFiller;
  std::vector<std::string> boxes;
  for (const Encoding& encoding : kEncodings) {
    const std::string top = dir_.folder() + "q-" + encoding.name + "/";
    dir_.Write("q-" + encoding.name + "/q.txt", encoding.encode(text));
    const std::string out = dir_.MakeDir("qout-" + encoding.name);
    Index(top, out);
    Outcome run = Orvane({"search", "--index", out + "/p_index.tavo", "--top", top,
                          "\xC3\xA9t\xC3\xA9"});
    EXPECT_EQ(run.status, 0) << encoding.name << run.err;
    boxes.push_back(run.out.substr(run.out.find('\n') + 1));
  }
  const std::string plain = "\"L'\xC3\xA9t\xC3\xA9 -- enfin.\"\n";
  const std::string typographic = "\"L\xE2\x80\x99\xC3\xA9t\xC3\xA9 \xE2\x80\x94 enfin.\"\n";
  EXPECT_EQ(boxes[0].substr(0, typographic.size()), typographic);
  EXPECT_EQ(boxes[1].substr(0, plain.size()), plain);
  EXPECT_EQ(boxes[2].substr(0, plain.size()), plain);
  EXPECT_EQ(boxes[3].substr(0, typographic.size()), typographic);
  EXPECT_EQ(boxes[4].substr(0, typographic.size()), typographic);
}

// The sample tree has no UTF-8 sequence and no UTF-16 file: its index text
// and data file are byte for byte those it had before files were decoded.
// The golden files were written by the program of that time; a change of
// the sample tree or of cwds.txt needs them written anew (zstd -19).
TEST_F(EncodingsTest, SampleTreeIndexIsUnchanged) {
  const std::filesystem::path golden = TestDataFolder() / "sample_index";
  for (bool exclude : {false, true}) {
    SCOPED_TRACE(exclude);
    const std::string out = dir_.MakeDir(exclude ? "s1" : "s0");
    Outcome run = Orvane({"index", "--top", (SourceDataFolder() / "sample").string(), "--out",
                          out, "--project", "sample", "--title", "Sample tree",
                          "--include-all", "--subsub", "--min-size", "0",
                          "--special-letters", exclude ? "1" : "0",
                          "--classic-data-file", "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string prefix = exclude ? "accents_left_out" : "accents_kept";
    const std::string expected_index =
        IndexText((golden / (prefix + ".index.txt.zst")).string());
    const std::string expected_data =
        IndexText((golden / (prefix + ".data.tavo.zst")).string());
    ASSERT_GT(expected_index.size(), 1000u);
    EXPECT_TRUE(IndexText(out + "/sample_index.tavo") == expected_index);
    EXPECT_TRUE(ReadFileBytes(out + "/sample_data.tavo") == expected_data);
  }
}

}  // namespace
}  // namespace orvane::testing
