// Documents end to end: `orvane index` reads them through its workers and
// keeps their text in the index's store; `orvane search` finds them by a word
// and by a phrase, shows their titles, and its reports give their extracts
// with the page they stand on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/store/document_text_section.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_tree.h"

namespace orvane::testing {
namespace {

class DocumentsCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.MakeDir("top");
    dir_.MakeDir("out");
    for (const char* name : {"notes.pdf", "notes.docx", "visits.ods",
                             "compressed.txt.gz", "encrypted.pdf"}) {
      std::filesystem::copy_file(TestDataFolder() / "documents" / name,
                                 dir_.Path("top/" + std::string(name)));
    }
    dir_.Write("top/plain.txt", "A plain note: the chameleon is green.\r\n");
  }
  Outcome Orvane(const std::vector<std::string>& args) {
    std::string command = "ORVANE_OPEN=true TMPDIR=" + Quote(dir_.folder()) +
                          " " + Quote(ORVANE_PROGRAM);
    for (const std::string& a : args) command += " " + Quote(a);
    return RunShellCommand(command, dir_.Path("err.txt"));
  }
  Outcome Index(const std::string& documents) {
    return Orvane({"index", "--top", top(), "--out", dir_.Path("out"),
                   "--project", "d", "--title", "Garden", "--min-size", "0",
                   "--special-letters", "0", "--overwrite", "--quiet",
                   documents});
  }
  Outcome Search(std::vector<std::string> args) {
    args.insert(args.begin(),
                {"search", "--index", dir_.Path("out/d_index.tavo"), "--top",
                 top()});
    return Orvane(args);
  }
  std::string top() const { return dir_.folder() + "top/"; }
  // The documents whose texts the store keeps; -1 when it cannot be read.
  int TextsKept() {
    auto store = StoreReader::Open(dir_.Path("out/d_store.tavo"), std::nullopt);
    if (!store.ok()) return -1;
    auto texts = DocumentTextSection::Open(**store);
    return texts.ok() ? static_cast<int>((*texts)->count()) : -1;
  }

  TempDir dir_;
};

TEST_F(DocumentsCliTest, FindsDocumentsByWordAndPhraseWithTitlesAndPages) {
  Outcome indexed = Index("--documents");
  ASSERT_EQ(indexed.status, 0) << indexed.err << indexed.out;
  EXPECT_NE(indexed.err.find("One document was not read; the index lists it "
                             "without any word.\n  " +
                             top() + "encrypted.pdf (encrypted)"),
            std::string::npos)
      << indexed.err;
  // The texts of the four documents read are in the store: no file of
  // their own.
  EXPECT_EQ(TextsKept(), 4);
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("out/d_text.tavo")));

  Outcome found = Search({"--sort", "chameleon"});
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_NE(found.out.find(top() + "notes.pdf\nField Notes on Garden Visitors\n"),
            std::string::npos)
      << found.out;
  EXPECT_NE(found.out.find(top() + "notes.docx\nField Notes on Garden Visitors\n"),
            std::string::npos);
  EXPECT_NE(found.out.find(top() + "plain.txt\n"), std::string::npos);
  EXPECT_NE(found.out.find("Number of files found with matches: 3"),
            std::string::npos);

  // A compressed text and a spreadsheet by a word; a phrase confirmed in
  // the documents' text, not their bytes.
  EXPECT_NE(Search({"came", "back"}).out.find(top() + "compressed.txt.gz\n"),
            std::string::npos);
  EXPECT_NE(Search({"lavender"}).out.find(top() + "visits.ods\n"),
            std::string::npos);
  Outcome phrase = Search({"--type", "phrase", "chameleon", "stayed", "hidden"});
  EXPECT_NE(phrase.out.find("Number of files found with matches: 2"),
            std::string::npos)
      << phrase.out;
  Outcome reversed = Search({"--type", "phrase", "hidden", "stayed"});
  EXPECT_EQ(reversed.status, 1) << reversed.out;

  // The PDF's extract names its third page; the HTML report opens it there.
  Outcome text = Search({"--report", "text", "chameleon"});
  EXPECT_NE(text.out.find("Page 3: "), std::string::npos) << text.out;
  const std::string page = dir_.Path("report.htm");
  Outcome html =
      Search({"--report", "html", "--html-out", page, "--no-open", "bumblebee"});
  EXPECT_EQ(html.status, 0) << html.err;
  EXPECT_NE(ReadFileBytes(page).find("notes.pdf#page=2\""), std::string::npos)
      << ReadFileBytes(page);
}

TEST_F(DocumentsCliTest, WithoutDocumentsNoneIsIndexedAndNoTextsKept) {
  ASSERT_EQ(Index("--documents").status, 0);
  ASSERT_EQ(TextsKept(), 4);
  // The text file that earlier versions kept beside the index goes too.
  dir_.Write("out/d_text.tavo", "texts of an earlier version");
  Outcome indexed = Index("--no-documents");
  ASSERT_EQ(indexed.status, 0) << indexed.err;
  EXPECT_EQ(TextsKept(), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("out/d_text.tavo")));
  Outcome found = Search({"chameleon"});
  EXPECT_EQ(found.out, top() + "plain.txt\n\"A plain note: the chameleon is "
                               "green.\"\n\nNumber of files found with "
                               "matches: 1\n");
}

}  // namespace
}  // namespace orvane::testing
