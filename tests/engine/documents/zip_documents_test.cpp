#include "engine/documents/zip_documents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {
namespace {

using Lines = std::vector<std::string>;

constexpr std::uint64_t kPlenty = std::uint64_t{64} << 20;

// The parts that make a word-processing document of body, a spreadsheet of
// one sheet, and a book of one chapter.
ZipContainer WordDocument(std::string_view body) {
  ZipContainer zip;
  zip.Put(
      "_rels/.rels",
      R"(<Relationships><Relationship Id="rId1" Type="http://x/officeDocument" Target="word/document.xml"/></Relationships>)");
  zip.Put("word/document.xml",
          std::string(R"(<w:document xmlns:w="w"><w:body>)") +
              std::string(body) + "</w:body></w:document>");
  return zip;
}

ZipContainer Workbook(std::string_view shared, std::string_view sheet) {
  ZipContainer zip;
  zip.Put(
      "_rels/.rels",
      R"(<Relationships><Relationship Id="rId1" Type="t/officeDocument" Target="/xl/workbook.xml"/></Relationships>)");
  zip.Put(
      "xl/workbook.xml",
      R"(<workbook xmlns:r="r"><sheets><sheet name="Counts" sheetId="1" r:id="rId1"/></sheets></workbook>)");
  zip.Put(
      "xl/_rels/workbook.xml.rels",
      R"(<Relationships><Relationship Id="rId1" Type="t/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="t/sharedStrings" Target="sharedStrings.xml"/></Relationships>)");
  zip.Put("xl/sharedStrings.xml", "<sst>" + std::string(shared) + "</sst>");
  zip.Put("xl/worksheets/sheet1.xml", "<worksheet><sheetData>" +
                                          std::string(sheet) +
                                          "</sheetData></worksheet>");
  return zip;
}

ZipContainer OpenDocument(std::string_view body) {
  ZipContainer zip;
  zip.Put("content.xml",
          "<office:document-content xmlns:office=\"o\" xmlns:text=\"t\" "
          "xmlns:table=\"b\"><office:body>" +
              std::string(body) + "</office:body></office:document-content>");
  return zip;
}

ZipContainer Book(std::string_view body) {
  ZipContainer zip;
  zip.Put(
      "META-INF/container.xml",
      R"(<container><rootfiles><rootfile full-path="OPS/book.opf"/></rootfiles></container>)");
  zip.Put(
      "OPS/book.opf",
      R"(<package><metadata><dc:title xmlns:dc="d">A Book</dc:title></metadata><manifest><item id="c1" href="text/chapter%201.xhtml" media-type="application/xhtml+xml"/><item id="cover" href="cover.jpg" media-type="image/jpeg"/></manifest><spine><itemref idref="cover"/><itemref idref="c1"/></spine></package>)");
  zip.Put("OPS/text/chapter 1.xhtml",
          "<html><head><title>Not text</title><style>p{}</style></head><body>" +
              std::string(body) + "</body></html>");
  return zip;
}

DocumentText Read(ZipContainer zip,
                  ReadResult (*reader)(ZipContainer&, DocumentSink&)) {
  DocumentTextBuilder builder(kPlenty);
  ReadResult problem = reader(zip, builder);
  EXPECT_FALSE(problem) << problem->detail;
  return builder.text();
}

TEST(ZipDocumentsTest, WordProcessingRules) {
  struct Row {
    std::string body;
    Lines lines;
  } rows[] = {
      // Runs join; a tab and a break inside a paragraph; blanks kept in
      // w:t, layout blanks between elements not.
      {R"(<w:p> <w:r><w:t xml:space="preserve">one </w:t></w:r>
          <w:r><w:t>two</w:t><w:tab/><w:t>three</w:t><w:br/><w:t>four</w:t></w:r></w:p>)",
       {"one two\tthree", "four"}},
      // Tab stops, field codes and deleted text are no text.
      {R"(<w:p><w:pPr><w:tabs><w:tab w:val="left"/></w:tabs></w:pPr><w:r><w:instrText> PAGE </w:instrText></w:r><w:r><w:t>kept</w:t></w:r><w:del><w:r><w:delText>gone</w:delText></w:r></w:del></w:p>)",
       {"kept"}},
      // A text box's content counts once, not again in its fallback copy.
      {R"(<w:p><mc:AlternateContent><mc:Choice><w:p><w:r><w:t>boxed</w:t></w:r></w:p></mc:Choice><mc:Fallback><w:p><w:r><w:t>boxed</w:t></w:r></w:p></mc:Fallback></mc:AlternateContent></w:p>)",
       {"boxed"}},
      // Table cells stand on lines of their own; empty paragraphs vanish.
      {R"(<w:tbl><w:tr><w:tc><w:p><w:r><w:t>a</w:t></w:r></w:p></w:tc><w:tc><w:p/></w:tc><w:tc><w:p><w:r><w:t>b</w:t></w:r></w:p></w:tc></w:tr></w:tbl>)",
       {"a", "b"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Read(WordDocument(row.body), ReadOfficeOpenXml).lines, row.lines)
        << row.body;
  }
}

TEST(ZipDocumentsTest, SpreadsheetRules) {
  DocumentText text = Read(
      Workbook(
          R"(<si><t>shared</t></si><si><r><t>ri</t></r><r><t>ch</t></r><rPh><t>phonetic</t></rPh></si>)",
          R"(<row><c t="s"><v>0</v></c><c><v>3.5</v></c><c t="inlineStr"><is><t>inline</t></is></c></row>
                  <row><c t="s"><v>1</v></c><c t="s"><v>99</v></c><c t="b"><v>1</v></c></row>
                  <row><c/></row>)"),
      ReadOfficeOpenXml);
  // A shared string out of range is no text; an empty row no line.
  EXPECT_EQ(text.lines, (Lines{"Counts", "shared\t3.5\tinline", "rich\t1"}));

  text = Read(OpenDocument(
                  R"(<office:spreadsheet><table:table table:name="Counts">
                       <table:table-row table:number-rows-repeated="2"><table:table-cell><text:p>twice</text:p></table:table-cell><table:table-cell table:number-columns-repeated="3"><text:p>x</text:p></table:table-cell></table:table-row>
                       <table:table-row table:number-rows-repeated="1048000"><table:table-cell table:number-columns-repeated="16000"/></table:table-row>
                       <table:table-row><table:table-cell table:number-columns-repeated="5"/><table:table-cell><text:p>two</text:p><text:p>lines</text:p></table:table-cell></table:table-row>
                     </table:table></office:spreadsheet>)"),
              ReadOpenDocument);
  // Repeated cells and rows with text repeat; empty ones repeated a
  // million times cost nothing; a cell's paragraphs join.
  EXPECT_EQ(text.lines,
            (Lines{"Counts", "twice\tx\tx\tx", "twice\tx\tx\tx", "two lines"}));
}

TEST(ZipDocumentsTest, OpenDocumentTextRules) {
  DocumentText text = Read(
      OpenDocument(
          R"(<office:text><text:tracked-changes><text:p>deleted</text:p></text:tracked-changes>
             <text:h>Heading</text:h>
             <text:p>one<text:s text:c="3"/>two<text:tab/>three<text:line-break/>four
               and   <text:span>five</text:span><text:note><text:note-citation>1</text:note-citation><text:note-body><text:p>a note</text:p></text:note-body></text:note></text:p>
             <text:list><text:list-item><text:p>item</text:p></text:list-item></text:list></office:text>)"),
      ReadOpenDocument);
  EXPECT_EQ(text.lines, (Lines{"Heading", "one   two\tthree", "four and five",
                               "a note", "item"}));
}

TEST(ZipDocumentsTest, BookRules) {
  DocumentText text = Read(Book(R"(<div><h1>Chapter</h1><p>Some <em>fine</em>
              text.</p><script>no()</script><pre>line one
line two</pre><ul><li>first</li><li>second<br/>more</li></ul></div>)"),
                           ReadEpub);
  EXPECT_EQ(text.title, "A Book");
  // The cover picture in the spine is passed over; the chapter's name,
  // "chapter%201.xhtml", is decoded.
  EXPECT_EQ(text.lines, (Lines{"Chapter", "Some fine text.", "line one",
                               "line two", "first", "second", "more"}));
}

TEST(ZipDocumentsTest, DamagedPartsAreNamed) {
  struct Row {
    ZipContainer zip;
    ReadResult (*reader)(ZipContainer&, DocumentSink&);
    std::string detail;
  } rows[] = {
      {WordDocument("<w:p>"), ReadOfficeOpenXml,
       "word/document.xml: Start-end tags mismatch at byte 39"},
      {ZipContainer(), ReadOfficeOpenXml,
       "it names no main part in _rels/.rels"},
      {ZipContainer(), ReadOpenDocument, "it has no content.xml"},
      {ZipContainer(), ReadEpub, "it has no META-INF/container.xml"},
  };
  for (Row& row : rows) {
    DocumentTextBuilder builder(kPlenty);
    ReadResult problem = row.reader(row.zip, builder);
    ASSERT_TRUE(problem) << row.detail;
    EXPECT_EQ(problem->failure, WireFailure::kDamaged);
    EXPECT_EQ(problem->detail, row.detail);
  }
}

TEST(ZipDocumentsTest, DeepNestingDoesNotExhaustTheStack) {
  std::string body;
  for (int i = 0; i < 200000; ++i) body += "<w:p>";
  body += "<w:r><w:t>deep</w:t></w:r>";
  for (int i = 0; i < 200000; ++i) body += "</w:p>";
  EXPECT_EQ(Read(WordDocument(body), ReadOfficeOpenXml).lines, (Lines{"deep"}));
}

TEST(ZipDocumentsTest, ResolvesPartNames) {
  struct Row {
    std::string from, target, part;
  } rows[] = {
      {"xl/workbook.xml", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
      {"xl/workbook.xml", "/xl/worksheets/sheet1.xml",
       "xl/worksheets/sheet1.xml"},
      {"", "word/document.xml", "word/document.xml"},
      {"OPS/text/a.xhtml", "../images/b%20c.png#top", "OPS/images/b c.png"},
      {"OPS/book.opf", "./text/./a.xhtml", "OPS/text/a.xhtml"},
      // Out of the container: nothing.
      {"book.opf", "../../etc/passwd", ""},
      {"a.xml", "%2", "%2"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ResolvePartName(row.from, row.target), row.part)
        << row.from << " + " << row.target;
  }
}

}  // namespace
}  // namespace orvane
