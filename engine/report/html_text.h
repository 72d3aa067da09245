// Texts as the HTML report writes them into its Windows-1252 page: paths
// with their non-ASCII characters as numeric character references, link
// targets as file addresses percent-encoded where an address needs it, and
// titles, descriptions and the query with their markup characters encoded,
// so that no file can put markup into the page.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

// A path (UTF-8 file-system bytes) as page text: "&", "<", ">" and the
// double quote as entities, every non-ASCII character as "&#N;" (a byte
// that is not part of valid UTF-8 as "&#65533;").
std::string HtmlPathText(std::string_view path);

// The link target of a file: "file://" and the absolute path, with "%",
// "#", "?", quotes, "<", ">", "\", control and non-ASCII bytes
// percent-encoded and "&" written as "&amp;"; blanks stay.
std::string HtmlFileLink(std::string_view absolute_path);

// Content text with "<" and ">" encoded and every double quote as
// "&quot;" (titles and descriptions, whose own entities stay as written).
std::string HtmlTitleText(std::string_view text);

// Content text with "&", "<", ">" encoded and every double quote as
// "&quot;" (the query).
std::string HtmlQueryText(std::string_view text);

}  // namespace orvane
