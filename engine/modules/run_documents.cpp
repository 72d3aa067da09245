#include "engine/modules/run_documents.h"

#include <utility>

namespace orvane {

namespace {

// Takes a document's words into the lexicon; stops once it is full.
class LexiconFeed : public WordSink {
 public:
  explicit LexiconFeed(Lexicon* lexicon) : lexicon_(lexicon) {}
  bool TakeWord(std::string_view word, std::uint32_t hash) override {
    if (!lexicon_->AddWordToLexicon(word, hash)) full_ = true;
    return !full_;
  }
  bool full() const { return full_; }

 private:
  Lexicon* lexicon_;
  bool full_ = false;
};

}  // namespace

RunDocuments::RunDocuments(DocumentReader* reader,
                           std::vector<std::string> paths, std::size_t ahead)
    : reader_(reader), paths_(std::move(paths)), ahead_(ahead < 1 ? 1 : ahead) {
  // The first documents are read from the start of the run, while the text
  // files before them are.
  QueueAhead();
}

void RunDocuments::QueueAhead() {
  while (queued_ < paths_.size() && reader_->pending() < ahead_) {
    reader_->Queue(paths_[queued_++]);
  }
}

RunDocuments::~RunDocuments() {
  if (reader_->pending() > 0) reader_->Cancel();
}

std::optional<DocumentOutcome> RunDocuments::Next(
    const KeepWaiting& keep_waiting) {
  QueueAhead();
  return reader_->Next(keep_waiting);
}

bool ExtractDocumentWords(const DocumentContent& content, bool decode_utf8,
                          bool exclude_special_letters,
                          CommonWords* common_words, Lexicon* lexicon,
                          ExtractionObserver* observer) {
  LexiconFeed feed(lexicon);
  WordExtractor extractor(common_words, &feed);
  extractor.StartWordExtraction();
  extractor.set_exclude_special_letters(exclude_special_letters);
  extractor.StartFile();
  extractor.ExtractContentWords(content.lines, decode_utf8, observer);
  return !feed.full();
}

}  // namespace orvane
