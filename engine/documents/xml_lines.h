// The text of an XML part of a document as lines, by a few rules per
// format: which elements stand on lines of their own, which break a line,
// make a tab or spaces, hold the text, or hold none. Parsed by pugixml (no
// DTD, no entity of its own, nothing fetched) and walked without recursion,
// so that no depth of nesting exhausts the stack.
#pragma once

#include <functional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "engine/documents/document_readers.h"
#include "engine/documents/line_maker.h"

namespace orvane {

// Parses the part named name into doc (which keeps a copy of its bytes: a
// part may be read twice). kDamaged names the part, what is wrong and
// where. Throws std::bad_alloc when memory runs out.
ReadResult ParseXmlPart(std::string_view name, std::string_view bytes,
                        pugi::xml_document& doc);

// An element's name without its namespace prefix: "w:p" gives "p". The
// readers go by these, as a document may bind its namespaces to any
// prefix.
std::string_view LocalName(const pugi::xml_node& node);

// The first element below node (node itself not counted), in document
// order, whose local name is name; an empty node when there is none.
pugi::xml_node FindElement(const pugi::xml_node& node, std::string_view name);

// An attribute by its local name; an empty attribute when there is none.
pugi::xml_attribute LocalAttribute(const pugi::xml_node& node,
                                   std::string_view name);

// Calls visit for each element below root (root not counted) whose local
// name is name, in document order, without going into them. Stops when
// visit returns false, and then returns false.
bool ForEachElement(const pugi::xml_node& root, std::string_view name,
                    const std::function<bool(const pugi::xml_node&)>& visit);

// The text of node and everything in it, in order, blanks kept.
std::string TextOf(const pugi::xml_node& node);

// Local names of elements.
using NameSet = std::vector<std::string_view>;
bool Has(const NameSet& names, std::string_view name);

struct XmlTextRules {
  NameSet lines;     // stand on lines of their own: paragraphs, headings
  NameSet breaks;    // end the line within a paragraph
  NameSet tabs;      // a TAB
  NameSet left_out;  // hold no text of the document (field codes, styles)
  // When not empty, only text inside these elements counts (Office Open
  // XML keeps its text in w:t and a:t, and blanks between elements are
  // layout).
  NameSet text_holders;
  std::string_view spaces;        // OpenDocument's text:s, text:c spaces
  std::string_view preformatted;  // HTML's pre: its line ends end lines
  bool collapse_blanks = false;   // a run of blanks is one space
};

// Walks element and everything in it, in document order, into lines; the
// line open at its end is ended. Returns false when the sink is full.
bool WalkText(const pugi::xml_node& element, const XmlTextRules& rules,
              LineMaker& lines);

}  // namespace orvane
