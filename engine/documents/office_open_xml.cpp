// Office Open XML files (.docx .xlsx .pptx and their macro and template
// forms): the package's relationships name the main part, whose root tells
// which of the three it is; docProps/core.xml holds the title.
#include <map>
#include <string>
#include <vector>

#include "engine/documents/zip_documents.h"

namespace orvane {

namespace {

constexpr std::string_view kPackageRelationships = "_rels/.rels";
constexpr std::string_view kCoreProperties = "docProps/core.xml";

// The text of a word-processing document or a slide: paragraphs (w:p,
// a:p) with their runs' text (w:t, a:t).
const XmlTextRules kTextRules{
    .lines = {"p"},
    .breaks = {"br", "cr"},
    .tabs = {"tab", "ptab"},
    // Paragraph and run properties (w:tabs holds w:tab stops), field codes,
    // deleted text, and the fallback copy of content that a newer program
    // also keeps in its own form.
    .left_out = {"pPr", "rPr", "instrText", "delText", "delInstrText",
                 "Fallback"},
    .text_holders = {"t"},
    .spaces = {},
    .preformatted = {},
    .collapse_blanks = false,
};

struct Relationship {
  std::string type;  // the last piece of its type: "officeDocument"
  std::string part;  // the target, as a part name
};

// The relationships of the part at source (its _rels/NAME.rels beside it),
// by id. Empty when there are none or they cannot be read.
std::map<std::string, Relationship> Relationships(ZipContainer& zip,
                                                  std::string_view source) {
  std::size_t slash = source.rfind('/');
  std::string folder(slash == std::string_view::npos
                         ? std::string_view()
                         : source.substr(0, slash + 1));
  std::string_view base =
      slash == std::string_view::npos ? source : source.substr(slash + 1);
  std::string rels_name = folder + "_rels/" + std::string(base) + ".rels";
  std::map<std::string, Relationship> found;
  std::string* rels = zip.Find(rels_name);
  pugi::xml_document doc;
  if (rels == nullptr || ParseXmlPart(rels_name, *rels, doc)) return found;
  ForEachElement(doc, "Relationship", [&](const pugi::xml_node& node) {
    std::string_view type = LocalAttribute(node, "Type").value();
    std::string_view target = LocalAttribute(node, "Target").value();
    if (LocalAttribute(node, "TargetMode").value() ==
        std::string_view("External")) {
      return true;
    }
    found[LocalAttribute(node, "Id").value()] =
        Relationship{std::string(type.substr(type.rfind('/') + 1)),
                     ResolvePartName(source, target)};
    return true;
  });
  return found;
}

// The relationship id of a sheet or slide: its r:id, an attribute in a
// namespace (a slide's own id="256" is another attribute).
std::string_view RelationshipId(const pugi::xml_node& node) {
  for (pugi::xml_attribute attribute : node.attributes()) {
    std::string_view name = attribute.name();
    std::size_t colon = name.rfind(':');
    if (colon != std::string_view::npos && name.substr(colon + 1) == "id") {
      return attribute.value();
    }
  }
  return {};
}

// Parses the part named name into doc; a missing part is damage.
ReadResult ParsePart(ZipContainer& zip, const std::string& name,
                     pugi::xml_document& doc) {
  std::string* bytes = zip.Find(name);
  if (bytes == nullptr) {
    return ReadProblem{WireFailure::kDamaged, "it has no " + name};
  }
  return ParseXmlPart(name, *bytes, doc);
}

// The shared strings of a workbook: the text of each si, its runs' text
// without their phonetic guides (rPh).
std::vector<std::string> SharedStrings(ZipContainer& zip,
                                       const std::string& name) {
  std::vector<std::string> strings;
  std::string* bytes = zip.Find(name);
  pugi::xml_document doc;
  if (bytes == nullptr || ParseXmlPart(name, *bytes, doc)) return strings;
  ForEachElement(doc, "si", [&strings](const pugi::xml_node& si) {
    std::string text;
    for (pugi::xml_node piece : si.children()) {
      std::string_view piece_name = LocalName(piece);
      if (piece_name == "t") {
        text += TextOf(piece);
      } else if (piece_name == "r") {
        for (pugi::xml_node run_text : piece.children()) {
          if (LocalName(run_text) == "t") text += TextOf(run_text);
        }
      }
    }
    strings.push_back(std::move(text));
    return true;
  });
  return strings;
}

// A cell's text: a shared string (t="s"), inline text (t="inlineStr") or
// the value as it is stored (numbers, booleans, formulas' results).
std::string CellText(const pugi::xml_node& cell,
                     const std::vector<std::string>& shared) {
  std::string_view type = LocalAttribute(cell, "t").value();
  for (pugi::xml_node child : cell.children()) {
    std::string_view name = LocalName(child);
    if (type == "inlineStr" && name == "is") return TextOf(child);
    if (name != "v") continue;
    std::string value = TextOf(child);
    if (type != "s") return value;
    char* end = nullptr;
    unsigned long index = std::strtoul(value.c_str(), &end, 10);
    return end != value.c_str() && index < shared.size() ? shared[index]
                                                         : std::string();
  }
  return {};
}

ReadResult ReadWorkbook(ZipContainer& zip, const std::string& workbook_name,
                        const pugi::xml_document& workbook,
                        DocumentSink& sink) {
  std::map<std::string, Relationship> relationships =
      Relationships(zip, workbook_name);
  std::vector<std::string> shared;
  for (const auto& [id, relationship] : relationships) {
    if (relationship.type == "sharedStrings") {
      shared = SharedStrings(zip, relationship.part);
    }
  }
  ReadResult problem;
  ForEachElement(workbook, "sheet", [&](const pugi::xml_node& sheet) {
    auto found = relationships.find(std::string(RelationshipId(sheet)));
    if (found == relationships.end()) return true;
    pugi::xml_document doc;
    problem = ParsePart(zip, found->second.part, doc);
    if (problem) return false;
    std::string_view sheet_name = LocalAttribute(sheet, "name").value();
    if (!sheet_name.empty() && !sink.Line(sheet_name)) {
      problem = TextWalked(false);
      return false;
    }
    return ForEachElement(doc, "row", [&](const pugi::xml_node& row) {
      std::string line;
      for (pugi::xml_node cell : row.children()) {
        if (LocalName(cell) != "c") continue;
        std::string text = CellText(cell, shared);
        if (text.empty()) continue;
        if (!line.empty()) line.push_back('\t');
        line += text;
      }
      LineMaker lines(sink);
      lines.Append(line);
      if (lines.Break()) return true;
      problem = TextWalked(false);
      return false;
    });
  });
  return problem;
}

ReadResult ReadSlides(ZipContainer& zip, const std::string& presentation_name,
                      const pugi::xml_document& presentation,
                      DocumentSink& sink) {
  std::map<std::string, Relationship> relationships =
      Relationships(zip, presentation_name);
  ReadResult problem;
  LineMaker lines(sink);
  ForEachElement(presentation, "sldId", [&](const pugi::xml_node& slide_id) {
    auto found = relationships.find(std::string(RelationshipId(slide_id)));
    if (found == relationships.end()) return true;
    pugi::xml_document slide;
    problem = ParsePart(zip, found->second.part, slide);
    if (problem) return false;
    if (WalkText(slide, kTextRules, lines)) return true;
    problem = TextWalked(false);
    return false;
  });
  return problem;
}

}  // namespace

bool OfficeOpenXmlWants(std::string_view name) {
  auto ends_with = [name](std::string_view end) {
    return name.size() >= end.size() &&
           name.substr(name.size() - end.size()) == end;
  };
  return ends_with(".xml") || ends_with(".rels");
}

ReadResult ReadOfficeOpenXml(ZipContainer& zip, DocumentSink& sink) {
  if (std::string* core = zip.Find(kCoreProperties)) {
    pugi::xml_document doc;
    if (!ParseXmlPart(kCoreProperties, *core, doc)) GiveTitle(doc, sink);
  }
  std::string main_name;
  for (const auto& [id, relationship] : Relationships(zip, "")) {
    if (relationship.type == "officeDocument") main_name = relationship.part;
  }
  if (main_name.empty()) {
    return ReadProblem{
        WireFailure::kDamaged,
        "it names no main part in " + std::string(kPackageRelationships)};
  }
  pugi::xml_document main;
  if (ReadResult problem = ParsePart(zip, main_name, main)) return problem;
  std::string_view root = LocalName(main.document_element());
  if (root == "workbook") return ReadWorkbook(zip, main_name, main, sink);
  if (root == "presentation") return ReadSlides(zip, main_name, main, sink);
  LineMaker lines(sink);
  return TextWalked(WalkText(main, kTextRules, lines));
}

}  // namespace orvane
