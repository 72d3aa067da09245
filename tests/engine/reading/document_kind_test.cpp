#include "engine/reading/document_kind.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::TempDir;
using testing::TestDataFolder;

// The local header of a zip's first entry, stored as it is, then its data.
std::string ZipHead(std::string_view name, std::string_view data) {
  std::string head("PK\x03\x04", 4);
  head += std::string(4, '\0');  // version, flags
  head += std::string(2, '\0');  // method 0: stored
  head += std::string(8, '\0');  // time, date, crc
  for (int i = 0; i < 2; ++i) {  // compressed and full size
    auto size = static_cast<std::uint32_t>(data.size());
    for (int b = 0; b < 4; ++b)
      head.push_back(static_cast<char>(size >> (8 * b)));
  }
  head.push_back(static_cast<char>(name.size()));
  head.push_back('\0');
  head += std::string(2, '\0');  // no extra field
  return head + std::string(name) + std::string(data);
}

TEST(DocumentKindTest, TellsKindsByFirstBytes) {
  struct Row {
    std::string head;
    DocumentKind kind;
    bool look_at_directory;
  } rows[] = {
      {"%PDF-1.7\n%\xE2\xE3", DocumentKind::kPdf, false},
      {std::string("\x1F\x8B\x08\x00", 4), DocumentKind::kGzip, false},
      {"BZh91AY&SY", DocumentKind::kBzip2, false},
      {std::string("\xFD"
                   "7zXZ\x00\x00",
                   7),
       DocumentKind::kXz, false},
      {"\x28\xB5\x2F\xFD\x24", DocumentKind::kZstd, false},
      {ZipHead("mimetype", "application/vnd.oasis.opendocument.text"),
       DocumentKind::kOpenDocument, false},
      {ZipHead("mimetype", "application/epub+zip"), DocumentKind::kEpub, false},
      {ZipHead("[Content_Types].xml", "<Types/>"), DocumentKind::kOfficeOpenXml,
       false},
      {ZipHead("META-INF/container.xml", "<container/>"), DocumentKind::kEpub,
       false},
      // A drawing program's picture keeps a mimetype too: no document.
      {ZipHead("mimetype", "image/openraster"), DocumentKind::kNone, false},
      // The telling entry may come later: the directory decides.
      {ZipHead("ppt/slides/slide1.xml", "<p:sld/>"), DocumentKind::kNone, true},
      {"PK\x03\x04", DocumentKind::kNone, true},
      // Near misses stay text.
      {"BZh0", DocumentKind::kNone, false},
      {"%PDF", DocumentKind::kNone, false},
      {" %PDF-1.4", DocumentKind::kNone, false},
      {"Plain text that mentions %PDF-1.4.", DocumentKind::kNone, false},
      {"", DocumentKind::kNone, false},
  };
  for (const Row& row : rows) {
    bool look = !row.look_at_directory;
    EXPECT_EQ(RecognizeFirstBytes(row.head, &look), row.kind)
        << testing::Visible(row.head);
    EXPECT_EQ(look, row.look_at_directory) << testing::Visible(row.head);
  }
}

TEST(DocumentKindTest, TellsRealDocumentsByContentNotName) {
  struct Row {
    const char* file;
    DocumentKind kind;
  } rows[] = {
      {"notes.pdf", DocumentKind::kPdf},
      {"encrypted.pdf", DocumentKind::kPdf},
      {"notes.docx", DocumentKind::kOfficeOpenXml},
      // pandoc writes a presentation's [Content_Types].xml after its
      // slides: found in the zip's directory.
      {"notes.pptx", DocumentKind::kOfficeOpenXml},
      {"visits.xlsx", DocumentKind::kOfficeOpenXml},
      {"notes.odt", DocumentKind::kOpenDocument},
      {"notes.odp", DocumentKind::kOpenDocument},
      {"visits.ods", DocumentKind::kOpenDocument},
      {"notes.epub", DocumentKind::kEpub},
      {"compressed.txt.gz", DocumentKind::kGzip},
      {"compressed.txt.bz2", DocumentKind::kBzip2},
      {"compressed.txt.xz", DocumentKind::kXz},
      {"compressed.txt.zst", DocumentKind::kZstd},
      // Cut before its directory, a zip whose first entry tells nothing
      // is no document; this one's first entry tells.
      {"cut.docx", DocumentKind::kOfficeOpenXml},
      {"make_documents.sh", DocumentKind::kNone},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(RecognizeDocumentFile(TestDataFolder() / "documents" / row.file),
              row.kind)
        << row.file;
  }
  TempDir dir;
  EXPECT_EQ(RecognizeDocumentFile(dir.Write("report.pdf", "Just text.\r\n")),
            DocumentKind::kNone);
  EXPECT_EQ(RecognizeDocumentFile(dir.Path("missing.pdf")),
            DocumentKind::kNone);
  EXPECT_EQ(RecognizeDocumentFile(dir.path()), DocumentKind::kNone);
}

TEST(DocumentKindTest, PresentationCutBeforeItsDirectoryIsNoDocument) {
  std::string pptx =
      testing::ReadFileBytes(TestDataFolder() / "documents" / "notes.pptx");
  ASSERT_FALSE(pptx.empty());
  TempDir dir;
  std::string cut = dir.Write("cut.pptx", pptx.substr(0, pptx.size() / 2));
  EXPECT_EQ(RecognizeDocumentFile(cut), DocumentKind::kNone);
}

TEST(DocumentKindTest, NamesKindsForMessages) {
  EXPECT_EQ(DocumentKindName(DocumentKind::kPdf), "PDF");
  EXPECT_EQ(DocumentKindName(DocumentKind::kOfficeOpenXml), "Office Open XML");
  EXPECT_EQ(DocumentKindName(DocumentKind::kNone), "");
  EXPECT_TRUE(IsCompressedText(DocumentKind::kZstd));
  EXPECT_FALSE(IsCompressedText(DocumentKind::kEpub));
}

}  // namespace
}  // namespace orvane
