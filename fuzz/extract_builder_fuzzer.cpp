// The extract builder over any file with any search words: verify mode for
// an exact phrase, and the extracts of every search type. The input's first
// line is an options byte followed by the search words; the rest is the
// file.
#include <algorithm>
#include <string>
#include <vector>

#include "engine/search/query.h"
#include "engine/text/extract_builder.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane;
  auto [head, body] = fuzz::SplitAtFirstLine(fuzz::AsText(data, size));
  const unsigned char options = head.empty() ? 0 : static_cast<unsigned char>(head[0]);
  ExtractBuilder builder;
  builder.options.exact_phrase = (options & 1) != 0;
  // The search hands on lower-case words whose stems are expanded, each
  // once for "Any word" and "All words", and a phrase as typed (a phrase
  // that repeats a word many times marks each occurrence of it as often,
  // which makes the extract grow with the square of the repetitions).
  std::vector<std::string>& words = builder.options.search_words;
  for (std::string word : SplitSearchWords(head.substr(head.empty() ? 0 : 1))) {
    word.erase(std::remove(word.begin(), word.end(), '*'), word.end());
    if (word.empty()) continue;
    if (builder.options.exact_phrase ||
        std::find(words.begin(), words.end(), word) == words.end()) {
      words.push_back(word);
    }
  }
  if (words.empty()) return 0;
  if (builder.options.exact_phrase && words.size() > 12) words.resize(12);
  builder.options.context_size = 10 * (1 + (options >> 2) % 9);
  builder.options.max_extracts = (options & 0x80) != 0 ? (options >> 2) % 8 : -1;
  const std::string path = fuzz::WriteScratchFile("found.txt", body);
  // Verify mode: whether the phrase occurs, as the search confirms it.
  if (builder.options.exact_phrase && (options & 2) != 0) {
    builder.ContainsPhrase(path, words);
    return 0;
  }
  builder.BuildExtracts(path);
  for (const std::string& extract : builder.extracts()) {
    fuzz::Require(extract.size() >= 3 && extract[0] >= '0' && extract[0] <= '9' &&
                      extract.compare(1, 2, "} ") == 0,
                  "an extract does not begin with its tenth");
  }
  return 0;
}
