// The documents' text for the searches over one index: what the index run
// kept in the documents' texts section of the index's store file while the
// document is unchanged (same size and modification time), else the
// document read again through the document reader (so too when the store
// has no texts, is stale or damaged). A file that is no document (told by
// its first bytes) is read as it stands.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <utility>

#include "engine/reading/document_reader.h"
#include "engine/store/document_text_section.h"
#include "engine/text/document_source.h"

namespace orvane {

class DocumentTexts final : public DocumentSource {
 public:
  // index_path: the index file whose store's texts are read; top_folder: the
  // folder the index's relative paths start from (folder form). reader,
  // when given, reads changed documents (not owned); without one the
  // object starts its own pool of workers at the first need.
  DocumentTexts(std::string index_path, std::string top_folder,
                DocumentReader* reader = nullptr);
  ~DocumentTexts() override;

  bool serves(const std::string& index_path,
              const std::string& top_folder) const {
    return index_path == index_path_ && top_folder == top_folder_;
  }
  // Asked while a document is read again; false stops the reading (the
  // document then gives no text). Always yes unless set.
  void set_keep_waiting(KeepWaiting keep_waiting) {
    keep_waiting_ = std::move(keep_waiting);
  }

  std::shared_ptr<const DocumentSourceText> TextOf(
      const std::string& full_path) override;

  // Whether the file at full_path, unchanged since the index was made (the
  // caller knows from its size and time), was indexed as a text file and
  // not as a document: the index keeps no document text for it. A run
  // keeps the text of every document it indexed, so no document needs to
  // be recognised by its first bytes then.
  bool IndexedAsText(const std::string& full_path);

  // Documents read again through the reader so far.
  int documents_read() const { return documents_read_; }

 private:
  // Opens the texts of the index's store at the first need.
  void OpenTexts();
  // *stopped: keep_waiting said stop; the text then says so.
  std::shared_ptr<DocumentSourceText> ReadAgain(const std::string& full_path,
                                                bool* stopped);

  std::string index_path_;
  std::string top_folder_;
  DocumentReader* reader_;
  std::unique_ptr<DocumentReader> own_reader_;
  KeepWaiting keep_waiting_;
  bool texts_opened_ = false;
  std::unique_ptr<StoreReader> store_;
  std::unique_ptr<DocumentTextSection> texts_;  // reads store_
  // The last documents asked for: a search asks for a found document's
  // title, then a report for its extracts.
  std::deque<std::pair<std::string, std::shared_ptr<const DocumentSourceText>>>
      recent_;
  int documents_read_ = 0;
};

struct SearchState;

// Points the state's extract builder at the documents' text of the index
// file and top folder of the settings: anew when either changed, or when
// documents is set (a test's reader; the program's own pool otherwise).
void UseDocumentTexts(const std::string& index_path,
                      const std::string& top_folder, SearchState* state);

}  // namespace orvane
