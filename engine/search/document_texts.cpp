#include "engine/search/document_texts.h"

#include "engine/format/file_names.h"
#include "engine/reading/document_kind.h"
#include "engine/reading/reader_pool.h"
#include "engine/search/search_state.h"
#include "engine/store/store_fingerprint.h"

namespace orvane {

namespace {

// Documents whose text is kept at hand.
constexpr std::size_t kRecentDocuments = 8;

}  // namespace

DocumentTexts::DocumentTexts(std::string index_path, std::string top_folder,
                             DocumentReader* reader)
    : index_path_(std::move(index_path)),
      top_folder_(std::move(top_folder)),
      reader_(reader) {}

DocumentTexts::~DocumentTexts() = default;

std::shared_ptr<const DocumentSourceText> DocumentTexts::TextOf(
    const std::string& full_path) {
  for (const auto& [path, text] : recent_) {
    if (path == full_path) return text;
  }
  if (RecognizeDocumentFile(full_path) == DocumentKind::kNone) return nullptr;
  DocumentStamp stamp;
  if (!StampOfFile(full_path, &stamp)) return nullptr;
  OpenTexts();
  std::shared_ptr<DocumentSourceText> text;
  const bool below_top = full_path.compare(0, top_folder_.size(), top_folder_) == 0;
  if (texts_ != nullptr && below_top) {
    // A damaged text is read again from the document.
    Result<std::shared_ptr<DocumentSourceText>> kept = texts_->Find(
        std::string_view(full_path).substr(top_folder_.size()), stamp);
    if (kept.ok()) text = std::move(*kept);
  }
  bool stopped = false;
  if (text == nullptr) text = ReadAgain(full_path, &stopped);
  if (stopped) return text;  // asked again next time
  recent_.emplace_front(full_path, text);
  if (recent_.size() > kRecentDocuments) recent_.pop_back();
  return text;
}

void DocumentTexts::OpenTexts() {
  if (texts_opened_) return;
  texts_opened_ = true;
  // A store that does not belong to the index file as it is now is not
  // read: its texts may be another index's.
  Result<StoreFingerprint> fingerprint = FingerprintOfIndexFile(index_path_);
  if (!fingerprint.ok()) return;
  Result<std::unique_ptr<StoreReader>> store =
      StoreReader::Open(StoreFilePathFor(index_path_), *fingerprint);
  if (!store.ok()) return;
  store_ = std::move(*store);
  Result<std::unique_ptr<DocumentTextSection>> opened =
      DocumentTextSection::Open(*store_);
  if (opened.ok()) texts_ = std::move(*opened);
}

bool DocumentTexts::IndexedAsText(const std::string& full_path) {
  if (full_path.compare(0, top_folder_.size(), top_folder_) != 0) return false;
  OpenTexts();
  return texts_ == nullptr ||
         !texts_->Holds(std::string_view(full_path).substr(top_folder_.size()));
}

std::shared_ptr<DocumentSourceText> DocumentTexts::ReadAgain(
    const std::string& full_path, bool* stopped) {
  DocumentReader* reader = reader_;
  if (reader == nullptr) {
    if (own_reader_ == nullptr) {
      ReaderPoolOptions options;
      options.workers = 1;
      own_reader_ = std::make_unique<ReaderPool>(options);
    }
    reader = own_reader_.get();
  }
  reader->Queue(full_path);
  std::optional<DocumentOutcome> outcome = reader->Next(
      keep_waiting_ ? keep_waiting_ : KeepWaiting([] { return true; }));
  auto text = std::make_shared<DocumentSourceText>();
  // Stopped: the document gives no text this time.
  if (!outcome.has_value()) {
    *stopped = true;
    text->reason = "not read";
    return text;
  }
  ++documents_read_;
  if (!outcome->ok()) {
    text->reason = outcome->reason;
    return text;
  }
  const bool decode_utf8 = ContentHoldsUtf8(outcome->text);
  *text = ToSourceText(ToContent(std::move(outcome->text)), decode_utf8);
  return text;
}

void UseDocumentTexts(const std::string& index_path,
                      const std::string& top_folder, SearchState* state) {
  if (state->document_texts == nullptr ||
      !state->document_texts->serves(index_path, top_folder)) {
    state->document_texts = std::make_unique<DocumentTexts>(
        index_path, top_folder, state->document_reader);
  }
  state->extract_builder.set_document_source(state->document_texts.get());
}

}  // namespace orvane
