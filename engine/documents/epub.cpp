// EPUB books: META-INF/container.xml names the package document, whose
// spine lists the book's XHTML documents in reading order and whose
// metadata holds the title.
#include <map>
#include <string>

#include "engine/documents/zip_documents.h"

namespace orvane {

namespace {

constexpr std::string_view kContainerName = "META-INF/container.xml";

const XmlTextRules kHtmlRules{
    .lines = {"p",       "div",        "h1",      "h2",      "h3",
              "h4",      "h5",         "h6",      "li",      "dt",
              "dd",      "blockquote", "tr",      "td",      "th",
              "caption", "figcaption", "section", "article", "header",
              "footer",  "aside",      "nav",     "address", "table",
              "ul",      "ol",         "dl",      "figure",  "main",
              "center",  "details",    "summary", "legend",  "option"},
    .breaks = {"br", "hr"},
    .tabs = {},
    .left_out = {"head", "script", "style", "template", "rp", "rt"},
    .text_holders = {},
    .spaces = {},
    .preformatted = "pre",
    .collapse_blanks = true,
};

// The kinds of a book's files that hold no text: they are not unpacked.
bool IsMedia(std::string_view name) {
  static constexpr std::string_view kMediaEndings[] = {
      ".jpg",  ".jpeg", ".png",  ".gif",  ".webp",  ".bmp", ".tif",
      ".tiff", ".ttf",  ".otf",  ".woff", ".woff2", ".mp3", ".mp4",
      ".m4a",  ".ogg",  ".webm", ".css",  ".js"};
  std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string ending(name.substr(dot));
  for (char& c : ending) c = static_cast<char>(std::tolower(c));
  for (std::string_view media : kMediaEndings) {
    if (ending == media) return true;
  }
  return false;
}

// True for the media types of a spine's documents that hold text.
bool IsTextDocument(std::string_view media_type) {
  return media_type == "application/xhtml+xml" || media_type == "text/html" ||
         media_type == "application/x-dtbook+xml" || media_type.empty();
}

}  // namespace

bool EpubWants(std::string_view name) { return !IsMedia(name); }

ReadResult ReadEpub(ZipContainer& zip, DocumentSink& sink) {
  std::string* container = zip.Find(kContainerName);
  if (container == nullptr) {
    return ReadProblem{WireFailure::kDamaged,
                       "it has no " + std::string(kContainerName)};
  }
  pugi::xml_document container_doc;
  if (ReadResult problem =
          ParseXmlPart(kContainerName, *container, container_doc)) {
    return problem;
  }
  std::string package_name = ResolvePartName(
      "", LocalAttribute(FindElement(container_doc, "rootfile"), "full-path")
              .value());
  std::string* package = zip.Find(package_name);
  if (package == nullptr) {
    return ReadProblem{WireFailure::kDamaged,
                       "it has no package document " + package_name};
  }
  pugi::xml_document opf;
  if (ReadResult problem = ParseXmlPart(package_name, *package, opf)) {
    return problem;
  }
  GiveTitle(FindElement(opf, "metadata"), sink);

  struct Item {
    std::string part;
    std::string media_type;
  };
  std::map<std::string, Item, std::less<>> manifest;
  ForEachElement(opf, "item", [&](const pugi::xml_node& item) {
    manifest[LocalAttribute(item, "id").value()] = Item{
        ResolvePartName(package_name, LocalAttribute(item, "href").value()),
        LocalAttribute(item, "media-type").value()};
    return true;
  });
  LineMaker lines(sink);
  ReadResult problem;
  ForEachElement(opf, "itemref", [&](const pugi::xml_node& itemref) {
    auto found = manifest.find(LocalAttribute(itemref, "idref").value());
    if (found == manifest.end() || !IsTextDocument(found->second.media_type)) {
      return true;
    }
    const std::string& part = found->second.part;
    std::string* bytes = zip.Find(part);
    if (bytes == nullptr) {
      problem = ReadProblem{WireFailure::kDamaged, "it has no " + part};
      return false;
    }
    pugi::xml_document page;
    problem = ParseXmlPart(part, *bytes, page);
    if (problem) return false;
    pugi::xml_node body = FindElement(page, "body");
    if (WalkText(body ? body : page.document_element(), kHtmlRules, lines)) {
      return true;
    }
    problem = TextWalked(false);
    return false;
  });
  return problem;
}

}  // namespace orvane
