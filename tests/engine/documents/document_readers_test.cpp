#include "engine/documents/document_readers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using Lines = std::vector<std::string>;
using testing::TestDataFolder;

std::string Document(const char* name) {
  return (TestDataFolder() / "documents" / name).string();
}

constexpr std::uint64_t kPlenty = std::uint64_t{64} << 20;

// The text of the notes, as every program wrote it: pandoc, LibreOffice.
const Lines kNotes = {
    "Field Notes on Garden Visitors", "Morning",
    "The aardvark visited the garden at dawn. A \xE2\x80\x9C"
    "curious\xE2\x80\x9D"
    " caf\xC3\xA9 owner watched.",
    "Evening",
    "The bumblebee rested on the lavender, and the chameleon stayed hidden."};
const Lines kVisits = {"visits", "Animal\tCount\tWhere", "aardvark\t3\tgarden",
                       "bumblebee\t12\tlavender"};

// The PDF's three pages; groff puts each page's number above its text.
const DocumentText kNotesPdf = {"Field Notes on Garden Visitors",
                                {"Field Notes on Garden Visitors",
                                 "The aardvark visited the garden at dawn.",
                                 "-2-", "The bumblebee rested on the lavender.",
                                 "-3-", "The chameleon stayed hidden."},
                                {0, 2, 4},
                                ""};

TEST(DocumentReadersTest, ReadsEachKindWithItsTitle) {
  struct Row {
    const char* file;
    DocumentText text;
  } rows[] = {
      {"notes.pdf", kNotesPdf},
      // Encrypted with a password only its owner needs: read.
      {"owner-only.pdf", kNotesPdf},
      {"notes.docx", {"Field Notes on Garden Visitors", kNotes, {}, ""}},
      {"notes.odt", {"Field Notes on Garden Visitors", kNotes, {}, ""}},
      {"notes.epub", {"Field Notes on Garden Visitors", kNotes, {}, ""}},
      {"notes.pptx", {"Field Notes on Garden Visitors", kNotes, {}, ""}},
      {"notes.odp", {"Field Notes on Garden Visitors", kNotes, {}, ""}},
      // LibreOffice made the spreadsheets from a CSV file: no title.
      {"visits.xlsx", {"", kVisits, {}, ""}},
      {"visits.ods", {"", kVisits, {}, ""}},
      {"compressed.txt.gz",
       {"", {}, {}, "Compressed notes\r\nThe aardvark came back.\r\n"}},
      {"compressed.txt.bz2",
       {"", {}, {}, "Compressed notes\r\nThe aardvark came back.\r\n"}},
      {"compressed.txt.xz",
       {"", {}, {}, "Compressed notes\r\nThe aardvark came back.\r\n"}},
      {"compressed.txt.zst",
       {"", {}, {}, "Compressed notes\r\nThe aardvark came back.\r\n"}},
  };
  for (const Row& row : rows) {
    std::string path = Document(row.file);
    DocumentTextBuilder builder(kPlenty);
    ReadResult problem =
        ReadDocument(path, RecognizeDocumentFile(path), builder);
    EXPECT_FALSE(problem) << row.file << ": " << problem->detail;
    EXPECT_EQ(builder.text(), row.text) << row.file;

    // A zip held in memory reads the same.
    DocumentKind kind = RecognizeDocumentFile(path);
    if (kind == DocumentKind::kOpenDocument ||
        kind == DocumentKind::kOfficeOpenXml || kind == DocumentKind::kEpub) {
      DocumentTextBuilder from_memory(kPlenty);
      EXPECT_FALSE(ReadZipDocument(testing::ReadFileBytes(path), kind,
                                   from_memory, kPlenty))
          << row.file;
      EXPECT_EQ(from_memory.text(), row.text) << row.file;
    }
  }
}

TEST(DocumentReadersTest, ALineOfAPdfKnowsItsPage) {
  DocumentTextBuilder builder(kPlenty);
  ASSERT_FALSE(
      ReadDocument(Document("notes.pdf"), DocumentKind::kPdf, builder));
  DocumentContent content = ToContent(std::move(builder.text()));
  struct Row {
    std::string word;
    std::int32_t page_number;
  } rows[] = {{"aardvark", 1}, {"bumblebee", 2}, {"chameleon", 3}};
  for (const Row& row : rows) {
    auto line = std::find_if(
        content.lines.begin(), content.lines.end(),
        [&row](const Content& l) { return l.find(row.word) != l.npos; });
    ASSERT_NE(line, content.lines.end()) << row.word;
    EXPECT_EQ(PageNumberOfLine(
                  content.page_starts,
                  static_cast<std::int32_t>(line - content.lines.begin())),
              row.page_number)
        << row.word;
  }
}

TEST(DocumentReadersTest, NamesWhyADocumentCannotBeRead) {
  struct Row {
    const char* file;
    DocumentKind kind;
    WireFailure failure;
    std::string detail;
  } rows[] = {
      {"encrypted.pdf", DocumentKind::kPdf, WireFailure::kEncrypted, ""},
      {"cut.pdf", DocumentKind::kPdf, WireFailure::kDamaged,
       "Couldn't read xref table"},
      {"cut.docx", DocumentKind::kOfficeOpenXml, WireFailure::kDamaged,
       "its zip is damaged: Truncated ZIP file header"},
      // 5 KB on disk, 4 GiB unpacked: stopped at the limit.
      {"bomb.docx", DocumentKind::kOfficeOpenXml, WireFailure::kTooLarge,
       "its parts unpack to more than 256 MiB (word/document.xml)"},
      // A text in disguise: the kind the caller gives is not trusted.
      {"make_documents.sh", DocumentKind::kPdf, WireFailure::kDamaged,
       "Couldn't read xref table"},
      {"make_documents.sh", DocumentKind::kEpub, WireFailure::kDamaged,
       "not a zip that can be read: Unrecognized archive format"},
      {"make_documents.sh", DocumentKind::kGzip, WireFailure::kDamaged,
       "it is not compressed with gzip, bzip2, xz or zstd"},
      {"make_documents.sh", DocumentKind::kNone, WireFailure::kNotDocument, ""},
      {"missing.pdf", DocumentKind::kPdf, WireFailure::kCannotOpen,
       "No such file or directory"},
      {".", DocumentKind::kPdf, WireFailure::kNotDocument, ""},
  };
  for (const Row& row : rows) {
    DocumentTextBuilder builder(kPlenty);
    ReadResult problem = ReadDocument(Document(row.file), row.kind, builder);
    ASSERT_TRUE(problem) << row.file;
    EXPECT_EQ(problem->failure, row.failure) << row.file;
    EXPECT_EQ(problem->detail, row.detail) << row.file;
  }
}

TEST(DocumentReadersTest, StopsAtTheTextLimit) {
  // 3 KB of bzip2 that unpacks to 4 GiB.
  DocumentTextBuilder builder(1 << 20);
  ReadResult problem =
      ReadDocument(Document("bomb.txt.bz2"), DocumentKind::kBzip2, builder);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->failure, WireFailure::kTooMuchText);
  EXPECT_LE(builder.text().bytes.size(), std::size_t{1} << 20);

  DocumentTextBuilder small(100);
  problem = ReadDocument(Document("notes.pdf"), DocumentKind::kPdf, small);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->failure, WireFailure::kTooMuchText);
  EXPECT_EQ(small.text().lines,
            (Lines{"Field Notes on Garden Visitors",
                   "The aardvark visited the garden at dawn.", "-2-"}));
}

}  // namespace
}  // namespace orvane
