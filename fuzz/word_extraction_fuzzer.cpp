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

// Takes a file's scores after checking what a score may be.
class CheckingStore : public orvane::IndexStoreWriter {
 public:
  explicit CheckingStore(const orvane::Lexicon* lexicon) : lexicon_(lexicon) {}
  orvane::Status Begin(std::uint32_t) override { return orvane::Status::Ok(); }
  void AddFile(const orvane::IndexedFile&) override {}
  void AddFileScores(std::span<const std::uint32_t> word_indexes,
                     std::span<const std::uint8_t> scores) override {
    orvane::fuzz::Require(word_indexes.size() == scores.size(),
                          "a file's scores and words differ in number");
    for (std::size_t i = 0; i < scores.size(); ++i) {
      orvane::fuzz::Require(scores[i] >= 1 &&
                                word_indexes[i] <
                                    static_cast<std::uint32_t>(
                                        lexicon_->word_count()),
                            "a score of no word or of 0");
    }
  }
  orvane::Status WriteLexicon(std::string_view,
                              const orvane::RunLexicon&) override {
    return orvane::Status::Ok();
  }
  orvane::Status FinishWriting() override { return orvane::Status::Ok(); }
  orvane::Status CompressIndexFile() override { return orvane::Status::Ok(); }
  orvane::Status Commit() override { return orvane::Status::Ok(); }
  void Discard() override {}

 private:
  const orvane::Lexicon* lexicon_;
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
  CheckingStore store(&lexicon);
  if (lexicon.largest_count() > 0) lexicon.WriteFileScores(store);
  return 0;
}
