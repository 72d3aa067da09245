#include "engine/report/html_report.h"

#include <gtest/gtest.h>

#include "engine/common/program_texts.h"
#include "engine/report/html_text.h"
#include "tests/engine/report/report_fixture.h"

namespace orvane::testing {
namespace {

// For the report tests of this file and of text_report_test.cpp.
INSTANTIATE_TEST_SUITE_P(EveryStore, ReportTest,
                         ::testing::ValuesIn(kEveryStore), StoreName);

const std::string kFace = "Trebuchet MS,Arial,Tahoma,Verdana,Sans-serif,Helvetica";

std::string PageHead() {
  return "<html><head>\r\n"
         "<meta charset=\"windows-1252\">\r\n"
         "<title>Search results</title>\r\n"
         "</head><body bgcolor=\"#F0F8F8\">\r\n"
         "<blockquote><font face=\"" + kFace + "\">\r\n\r\n"
         "<center><table border=\"6\" cellpadding=\"6\">\r\n\r\n"
         "<tr><td align=\"center\">\r\n"
         "<font face=\"" + kFace + "\">\r\n\r\n"
         "<font size=\"-1\">\r\n"
         "Orvane File Search -- " + GetProgramText(5) + "</font><br>\r\n"
         "<font size=\"+1\">\r\n"
         "<b>Search Results</b></font>\r\n"
         "</font></td></tr></table></center><br>\r\n\r\n";
}

const char kPageEnd[] =
    "</font></blockquote>\r\n\r\n"
    "</BODY></HTML>\r\n\r\n";

// A title with markup and a path with "&", a blank and a non-ASCII letter:
// nothing of them becomes markup in the page.
TEST_P(ReportTest, HtmlReportTagForTag) {
  Tree({{"a&b \xC3\xB6.htm",
         "<html><head><title>Fox <script>x</script> page</title>\r\n"
         "<meta name=\"description\" content=\"A <b>bold</b> claim\">\r\n"
         "</head><body>The fox.</body></html>"},
        {"b.txt", "A fox &amp; a caf\xE9.\r\n"}});
  f_.settings().optHTMLReport = true;
  f_.settings().chkDisplayFilepaths = true;
  Search("fox", SearchType::kAnyWord);
  const std::string path = dir_.Path("report.htm");
  EXPECT_EQ(f_.module.last_report_path(), path);
  EXPECT_EQ(f_.opener.targets(), std::vector<std::string>{path});
  const std::string a = top() + "a&amp;b &#246;.htm";
  EXPECT_EQ(Visible(ReadFileBytes(path)),
            Visible(PageHead() +
                    "<center><table border=\"0\" cellpadding=\"4\" "
                    "cellspacing=\"0\">\r\n"
                    "<tr><td align=\"right\" valign=\"top\" width=\"25%\">"
                    "Search&nbsp;word:</td>\r\n"
                    "<td colspan=\"3\" align=\"left\"><b>fox</b></td></tr>\r\n"
                    "<tr><td align=\"right\">Files found:</td>\r\n"
                    "<td colspan=\"2\"><b>2</b></td></tr>\r\n"
                    "</table><p></center>\r\n\r\n"
                    "<a href=\"file://" + top() + "a&amp;b %C3%B6.htm\" "
                    "target=\"_blank\">Fox &lt;script&gt;x&lt;/script&gt; "
                    "page</a><br>\r\n"
                    "<font size=\"-1\"><I>Description:</I> A &lt;b&gt;bold"
                    "&lt;/b&gt; claim</font><br>\r\n"
                    "<font size=\"-1\">" + a + "</font><br>\r\n"
                    "<font size=\"-1\">\r\n"
                    "1} ... <b>Fox</b> x page / The ...<br>\r\n"
                    "<br></font>\r\n"
                    "<a href=\"file://" + top() + "b.txt\" target=\"_blank\">"
                    "Not HTML file</a><br>\r\n"
                    "<font size=\"-1\">" + top() + "b.txt</font><br>\r\n"
                    "<font size=\"-1\">\r\n"
                    "2} ... <b>fox</b> &amp; a caf&eacute;./ ...<br>\r\n"
                    "<br></font>\r\n"
                    "All occurrences are displayed.\r\n\r\n" +
                    kPageEnd));
  // The window is as it was: controls enabled, caption back, results box
  // restored.
  EXPECT_TRUE(f_.view.Enabled("cmdSearch"));
  EXPECT_TRUE(f_.view.Enabled("optTextReport"));
  EXPECT_EQ(f_.view.Text("cmdGenerateHTML"), "Report ->");
  EXPECT_EQ(f_.results().substr(0, top().size()), top());
}

TEST_P(ReportTest, HtmlQueryBoxForTwoWordsInAOneFileIndex) {
  Tree({{"a.txt", "red fox"}});
  f_.settings().optHTMLReport = true;
  Search("red fox", SearchType::kAllWords);
  std::string page = ReadFileBytes(dir_.Path("report.htm"));
  EXPECT_NE(page.find("<tr><td align=\"right\">Search type:</td>\r\n"
                      "<td align=\"left\"><b>All words</b></td>\r\n"
                      "<td width=\"16\">&nbsp;</td>\r\n"
                      "<td>&nbsp;</td>\r\n"
                      "</tr>\r\n"),
            std::string::npos)
      << page;
}

TEST_P(ReportTest, HtmlCutExtractsAndStop) {
  Tree({{"a.txt", Needles(25)}, {"b.txt", Needles(2)}, {"c.txt", "none"}});
  f_.settings().optHTMLReport = true;
  f_.settings().cboSizeOfExtract = 0;
  Search("needle", SearchType::kAnyWord, "10");
  std::string page = ReadFileBytes(dir_.Path("report.htm"));
  EXPECT_NE(page.find("Number of extracts: 10 (25 possible)<br>\r\n<br></font>"),
            std::string::npos);
  EXPECT_NE(page.find("A maximum of 10 extracts were requested.  Some "
                      "occurrences are not included above.\r\n\r\n</font>"),
            std::string::npos);
  // "Report ->" clicked while it reads "Stop": the page ends with the stop
  // notice and is not opened.
  f_.yield.At(f_.yield.calls() + 1, [&] { f_.module.MakeReport(); });
  ASSERT_TRUE(f_.module.MakeReport());
  page = ReadFileBytes(dir_.Path("report.htm"));
  const std::string tail =
      "<br></font>\r\n<P>\r\n[Generation of report was stopped.]<P>\r\n\r\n" +
      std::string(kPageEnd);
  ASSERT_GE(page.size(), tail.size());
  EXPECT_EQ(page.substr(page.size() - tail.size()), tail);
  EXPECT_EQ(page.find("b.txt"), std::string::npos);
  EXPECT_EQ(f_.opener.targets().size(), 1u);
  EXPECT_EQ(f_.view.Text("cmdGenerateHTML"), "Report ->");
}

// Where the report went was never said, and a browser that could not start
// showed nothing: the status line names the page, and an opener that
// refuses it is told with its path.
TEST_P(ReportTest, EveryReportSaysWhereItWent) {
  Tree({{"a.txt", "fox"}, {"b.txt", "fox too"}});
  f_.settings().optHTMLReport = true;
  Search("fox", SearchType::kAnyWord);
  const std::string path = dir_.Path("report.htm");
  EXPECT_EQ(f_.view.Text("lblStatus"), "The HTML report is " + path + ".");
  EXPECT_TRUE(f_.prompter.boxes().empty()) << f_.Messages();

  f_.opener.set_result(31);  // no program opens the page
  ASSERT_TRUE(f_.module.MakeReport());
  EXPECT_EQ(f_.Messages(), "[Report] " + HtmlReportNotOpenedText(path) + "\n");
  EXPECT_NE(HtmlReportNotOpenedText(path).find(path), std::string::npos);
  EXPECT_EQ(f_.view.Text("lblStatus"), "The HTML report is " + path + ".");

  f_.settings().optHTMLReport = false;
  ASSERT_TRUE(f_.module.MakeReport());
  EXPECT_EQ(f_.view.Text("lblStatus"),
            "The text report is in the window \"Search results\".");
  // A new search forgets where the last report went.
  f_.settings().chkGenerateHTML = false;
  Search("fox", SearchType::kAnyWord);
  EXPECT_EQ(f_.view.Text("lblStatus"), "");
}

TEST_P(ReportTest, HtmlReportFileThatCannotBeCreated) {
  Tree({{"a.txt", "fox"}, {"b.txt", "x"}});
  f_.settings().optHTMLReport = true;
  f_.settings().html_report_path = dir_.Path("no/such/folder/r.htm");
  Search("fox", SearchType::kAnyWord);
  EXPECT_EQ(f_.module.last_report_path(), "");
  EXPECT_EQ(f_.prompter.boxes().back().text,
            "The report file " + dir_.Path("no/such/folder/r.htm") +
                " cannot be created: No such file or directory.");
  EXPECT_TRUE(f_.opener.targets().empty());
}

TEST(HtmlTextTest, EncodesPathsLinksAndMarkup) {
  EXPECT_EQ(HtmlPathText("/d/a&b <c>\xD0\xB6\xC3\xA9\xFF.txt"),
            "/d/a&amp;b &lt;c&gt;&#1078;&#233;&#65533;.txt");
  EXPECT_EQ(HtmlFileLink("/d/50% #1?x\"y'&z\xC3\xA9.txt"),
            "file:///d/50%25 %231%3Fx%22y%27&amp;z%C3%A9.txt");
  EXPECT_EQ(HtmlTitleText("a <b> & \"c\""), "a &lt;b&gt; & &quot;c&quot;");
  EXPECT_EQ(HtmlQueryText("a <b> & \"c\""), "a &lt;b&gt; &amp; &quot;c&quot;");
}

}  // namespace
}  // namespace orvane::testing
