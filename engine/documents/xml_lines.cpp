#include "engine/documents/xml_lines.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace orvane {

namespace {

// The most spaces one text:s stands for: more is no text.
constexpr unsigned kMaxSpaces = 1000;

// Visits node and everything in it in document order without recursion:
// enter(n) for each node, which returns whether to go into it, and leave(n)
// after it and everything in it. Returns false as soon as stop() holds.
template <class Enter, class Leave, class Stop>
bool Walk(const pugi::xml_node& root, Enter enter, Leave leave, Stop stop) {
  if (!enter(root)) {
    leave(root);
    return !stop();
  }
  pugi::xml_node node = root.first_child();
  while (node) {
    if (enter(node) && node.first_child()) {
      node = node.first_child();
      continue;
    }
    leave(node);
    while (!node.next_sibling()) {
      node = node.parent();
      if (node == root) break;
      leave(node);
    }
    node = node == root ? pugi::xml_node() : node.next_sibling();
    if (stop()) return false;
  }
  leave(root);
  return !stop();
}

}  // namespace

bool Has(const NameSet& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

ReadResult ParseXmlPart(std::string_view name, std::string_view bytes,
                        pugi::xml_document& doc) {
  // Whitespace-only text is kept: " " between two runs is a space of the
  // text.
  unsigned options = pugi::parse_default | pugi::parse_ws_pcdata;
  pugi::xml_parse_result parsed =
      doc.load_buffer(bytes.data(), bytes.size(), options);
  if (parsed.status == pugi::status_out_of_memory) throw std::bad_alloc();
  if (!parsed) {
    return ReadProblem{WireFailure::kDamaged,
                       std::string(name) + ": " + parsed.description() +
                           " at byte " + std::to_string(parsed.offset)};
  }
  return std::nullopt;
}

std::string_view LocalName(const pugi::xml_node& node) {
  std::string_view name = node.name();
  std::size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_attribute LocalAttribute(const pugi::xml_node& node,
                                   std::string_view name) {
  for (pugi::xml_attribute attribute : node.attributes()) {
    std::string_view full = attribute.name();
    std::size_t colon = full.rfind(':');
    std::string_view local =
        colon == std::string_view::npos ? full : full.substr(colon + 1);
    if (local == name) return attribute;
  }
  return pugi::xml_attribute();
}

pugi::xml_node FindElement(const pugi::xml_node& node, std::string_view name) {
  return node.find_node([name, &node](const pugi::xml_node& candidate) {
    return candidate != node && candidate.type() == pugi::node_element &&
           LocalName(candidate) == name;
  });
}

bool ForEachElement(const pugi::xml_node& root, std::string_view name,
                    const std::function<bool(const pugi::xml_node&)>& visit) {
  bool stopped = false;
  auto enter = [&](const pugi::xml_node& node) {
    if (stopped) return false;
    if (node.type() == pugi::node_document) return true;
    if (node.type() != pugi::node_element) return false;
    if (node != root && LocalName(node) == name) {
      stopped = !visit(node);
      return false;
    }
    return true;
  };
  return Walk(
      root, enter, [](const pugi::xml_node&) {},
      [&stopped] { return stopped; });
}

std::string TextOf(const pugi::xml_node& node) {
  std::string text;
  Walk(
      node,
      [&text](const pugi::xml_node& n) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
          text += n.value();
        }
        return true;
      },
      [](const pugi::xml_node&) {}, [] { return false; });
  return text;
}

bool WalkText(const pugi::xml_node& element, const XmlTextRules& rules,
              LineMaker& lines) {
  int inside_holders = 0;
  int inside_preformatted = 0;
  auto enter = [&](const pugi::xml_node& node) {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
      if (!rules.text_holders.empty() && inside_holders == 0) {
        return false;
      }
      if (inside_preformatted > 0) {
        lines.AppendLines(node.value());
      } else if (rules.collapse_blanks) {
        lines.AppendCollapsed(node.value());
      } else {
        lines.Append(node.value());
      }
      return false;
    }
    if (node.type() == pugi::node_document) return true;
    if (node.type() != pugi::node_element) return false;
    std::string_view name = LocalName(node);
    if (Has(rules.left_out, name)) return false;
    if (Has(rules.lines, name) || Has(rules.breaks, name)) lines.Break();
    if (Has(rules.tabs, name)) lines.Tab();
    if (!rules.spaces.empty() && name == rules.spaces) {
      unsigned count = LocalAttribute(node, "c").as_uint(1);
      lines.Spaces(std::min(count, kMaxSpaces));
    }
    if (Has(rules.text_holders, name)) ++inside_holders;
    if (!rules.preformatted.empty() && name == rules.preformatted) {
      lines.Break();
      ++inside_preformatted;
    }
    return true;
  };
  auto leave = [&](const pugi::xml_node& node) {
    if (node.type() != pugi::node_element) return;
    std::string_view name = LocalName(node);
    if (Has(rules.left_out, name)) return;
    if (Has(rules.lines, name)) lines.Break();
    if (Has(rules.text_holders, name)) --inside_holders;
    if (!rules.preformatted.empty() && name == rules.preformatted) {
      lines.Break();
      --inside_preformatted;
    }
  };
  bool kept = Walk(element, enter, leave, [&lines] { return lines.full(); });
  return lines.Break() && kept;
}

}  // namespace orvane
