#include "engine/search/search_ports.h"

namespace orvane {

void ResultsBox::Set(std::string_view text) {
  text_.assign(text);
  view_.SetText("txbFiles", text_);
}

void ResultsBox::Append(std::string_view text) {
  text_.append(text);
  view_.AppendText("txbFiles", text, text_);
}

}  // namespace orvane
