// The title and the description of a found file, read from its start: by
// GetHtmlTitle and GetMetaContent, and by FileHead, which must give exactly
// the same texts. Each input is read as an HTML page and as a plain file.
#include "engine/text/markup.h"
#include "fuzz/fuzz_support.h"

namespace {

void ReadBothWays(const std::string& path, int max_title, int max_chars) {
  using namespace orvane;
  std::string first_text;
  std::string title = GetHtmlTitle(path, &first_text, max_title);
  std::string description = GetMetaContent(path, "description", max_chars);
  FileHead head(path);
  std::string head_first_text;
  fuzz::Require(head.Title(&head_first_text, max_title) == title &&
                    head_first_text == first_text,
                "FileHead gives another title than GetHtmlTitle");
  fuzz::Require(head.MetaContent("description", max_chars) == description,
                "FileHead gives another description than GetMetaContent");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane::fuzz;
  std::string_view bytes = AsText(data, size);
  for (const char* name : {"page.htm", "page.txt"}) {
    std::string path = WriteScratchFile(name, bytes);
    // The sizes the search asks for, and small ones that cut every line.
    ReadBothWays(path, 80, 6144);
    ReadBothWays(path, 3, 7);
  }
  return 0;
}
