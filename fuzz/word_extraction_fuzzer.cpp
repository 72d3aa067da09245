// Word extraction of one file into a lexicon, with each kind of tag
// markers, line ends and the special-letter rule: the input's first byte
// chooses them, the rest is the file.
#include "engine/index/word_extraction.h"
#include "fuzz/fuzz_support.h"

namespace {

// Hands the words to the lexicon after checking what a word may be.
class CheckingSink : public orvane::WordSink {
 public:
  explicit CheckingSink(orvane::Lexicon* lexicon) : lexicon_(lexicon) {}
  bool TakeWord(std::string_view word, std::uint32_t hash) override {
    orvane::fuzz::Require(
        !word.empty() && word.size() <= orvane::WordExtractor::kMaxWordLength,
        "word extraction gives a word of no or too many characters");
    return lexicon_->AddWordToLexicon(word, hash);
  }

 private:
  orvane::Lexicon* lexicon_;
};

class KeepReading : public orvane::ExtractionObserver {
 public:
  bool AfterLine() override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace orvane;
  if (size == 0) return 0;
  const unsigned char options = data[0];
  static CommonWords common_words = [] {
    CommonWords words;
    words.SetWords({"and", "of", "the"});
    return words;
  }();
  Lexicon lexicon;
  CheckingSink sink(&lexicon);
  WordExtractor extractor(&common_words, &sink);
  extractor.StartWordExtraction();
  extractor.SetTagMarkers(options % 3 == 0 ? "HTML" : options % 3 == 1 ? "C" : "");
  extractor.set_exclude_special_letters((options & 4) != 0);
  lexicon.StartPass();
  lexicon.StartFile();
  extractor.StartFile();
  KeepReading observer;
  static_cast<void>(extractor.ExtractFileWords(
      fuzz::WriteScratchFile("words.txt", fuzz::AsText(data + 1, size - 1)),
      (options & 8) != 0, &observer));
  if (lexicon.largest_count() > 0) lexicon.WriteFileScores();
  return 0;
}
