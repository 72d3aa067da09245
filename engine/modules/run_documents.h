// The documents of an indexing run, read through the document reader while
// the run goes through its files: each is queued a few documents ahead of
// the file being read, so that the workers read side by side while the
// lexicon takes the words of the files before it, and is taken back in
// file order. A document that cannot be read is kept with its reason.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/index/common_words.h"
#include "engine/index/lexicon.h"
#include "engine/index/word_extraction.h"
#include "engine/reading/document_reader.h"

namespace orvane {

class RunDocuments {
 public:
  // reader is not owned. paths: the run's documents, in file order; the
  // first ahead of them are handed to the reader at once.
  RunDocuments(DocumentReader* reader, std::vector<std::string> paths,
               std::size_t ahead);
  // Drops what is still queued.
  ~RunDocuments();
  RunDocuments(const RunDocuments&) = delete;
  RunDocuments& operator=(const RunDocuments&) = delete;

  // The outcome of the next document of paths; nullopt when keep_waiting
  // said stop (the reader has then dropped every document) or none is left.
  std::optional<DocumentOutcome> Next(const KeepWaiting& keep_waiting);

 private:
  // Hands the reader paths until it holds ahead of them.
  void QueueAhead();

  DocumentReader* reader_;
  std::vector<std::string> paths_;
  std::size_t ahead_;
  std::size_t queued_ = 0;  // paths handed to the reader so far
};

// Hands the words of a document's content to the lexicon, line by line as
// a text file's, with common_words' per-file state its own (the caller
// gives a copy of the run's list that no reading thread uses). Returns
// false once the lexicon is full.
// REQUIRES: the lexicon's StartFile was called for the document.
bool ExtractDocumentWords(const DocumentContent& content, bool decode_utf8,
                          bool exclude_special_letters,
                          CommonWords* common_words, Lexicon* lexicon,
                          ExtractionObserver* observer);

}  // namespace orvane
