// OpenDocument files (.odt .ods .odp and the rest): content.xml holds the
// text in office:body, meta.xml the title.
#include <string>
#include <vector>

#include "engine/documents/zip_documents.h"

namespace orvane {

namespace {

constexpr std::string_view kContentName = "content.xml";
constexpr std::string_view kMetaName = "meta.xml";

// A spreadsheet keeps a few empty rows and columns repeated a million
// times; a non-empty cell or row repeated counts as often as a sheet can
// hold it.
constexpr unsigned kMaxColumns = 16384;
constexpr unsigned kMaxRows = 1048576;

const XmlTextRules kTextRules{
    .lines = {"p", "h"},
    .breaks = {"line-break"},
    .tabs = {"tab"},
    // Deleted text kept for the record of changes, a footnote's number,
    // the speaker's notes of a slide, and the author and date of a
    // comment.
    .left_out = {"tracked-changes", "note-citation", "notes", "creator",
                 "date"},
    .text_holders = {},
    .spaces = "s",
    .preformatted = {},
    .collapse_blanks = true,
};

// A sink that keeps the lines of one cell.
class CellSink : public DocumentSink {
 public:
  void Title(std::string_view) override {}
  void PageStart() override {}
  bool Line(std::string_view utf8) override {
    if (!text.empty()) text.push_back(' ');
    text.append(utf8);
    return text.size() <= LineMaker::kMaxLineBytes;
  }
  bool Bytes(std::string_view) override { return true; }
  std::string text;
};

// How many times a row or cell stands, from its repeat attribute.
unsigned Repeats(const pugi::xml_node& node, std::string_view attribute,
                 unsigned most) {
  unsigned count = LocalAttribute(node, attribute).as_uint(1);
  return std::min(std::max(count, 1u), most);
}

// A row as one line: its non-empty cells joined by TABs.
std::string RowText(const pugi::xml_node& row) {
  std::string line;
  for (pugi::xml_node cell : row.children()) {
    std::string_view name = LocalName(cell);
    if (name != "table-cell" && name != "covered-table-cell") continue;
    CellSink cell_text;
    LineMaker cell_lines(cell_text);
    WalkText(cell, kTextRules, cell_lines);
    if (cell_text.text.empty()) continue;
    unsigned repeats = Repeats(cell, "number-columns-repeated", kMaxColumns);
    for (unsigned i = 0; i < repeats && line.size() <= LineMaker::kMaxLineBytes;
         ++i) {
      if (!line.empty()) line.push_back('\t');
      line += cell_text.text;
    }
  }
  return line;
}

bool ReadSheets(const pugi::xml_node& spreadsheet, DocumentSink& sink) {
  return ForEachElement(
      spreadsheet, "table", [&sink](const pugi::xml_node& table) {
        std::string_view name = LocalAttribute(table, "name").value();
        if (!name.empty() && !sink.Line(name)) return false;
        return ForEachElement(
            table, "table-row", [&sink](const pugi::xml_node& row) {
              std::string line = RowText(row);
              if (line.empty()) return true;
              unsigned repeats = Repeats(row, "number-rows-repeated", kMaxRows);
              for (unsigned i = 0; i < repeats; ++i) {
                if (!sink.Line(line)) return false;
              }
              return true;
            });
      });
}

}  // namespace

bool OpenDocumentWants(std::string_view name) {
  return name == kContentName || name == kMetaName;
}

ReadResult ReadOpenDocument(ZipContainer& zip, DocumentSink& sink) {
  // A damaged meta.xml costs the title only: the text is elsewhere.
  if (std::string* meta = zip.Find(kMetaName)) {
    pugi::xml_document doc;
    if (!ParseXmlPart(kMetaName, *meta, doc)) GiveTitle(doc, sink);
  }
  std::string* content = zip.Find(kContentName);
  if (content == nullptr) {
    return ReadProblem{WireFailure::kDamaged, "it has no content.xml"};
  }
  pugi::xml_document doc;
  if (ReadResult problem = ParseXmlPart(kContentName, *content, doc)) {
    return problem;
  }
  pugi::xml_node body = FindElement(doc, "body");
  LineMaker lines(sink);
  for (pugi::xml_node part : body.children()) {
    bool kept = LocalName(part) == "spreadsheet"
                    ? ReadSheets(part, sink)
                    : WalkText(part, kTextRules, lines);
    if (!kept) return TextWalked(false);
  }
  return std::nullopt;
}

}  // namespace orvane
