// Writing an index whose Search Module reads the store file: the index
// text as the classic pair writes it (and the classic data file beside it
// when asked), and the store file NAME_store.tavo, with the documents'
// texts when the run read documents, written as the files come under the
// run's own temporary name and published, flushed, before
// the index file. A run killed between the two leaves a store that does
// not match the index file beside it, which the Search Module makes again;
// one killed earlier leaves the earlier files as they were.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/files/background_deletion.h"
#include "engine/format/index_store.h"
#include "engine/index/classic_store_writer.h"
#include "engine/store/store_writer.h"

namespace orvane {

class StoreFileWriter final : public IndexStoreWriter {
 public:
  // data_path: the classic data file's path, or empty to write none (an
  // earlier data file of the project is then deleted at Commit, as it no
  // longer matches the index file). deletion as for ClassicStoreWriter.
  StoreFileWriter(std::string index_path, std::string data_path,
                  std::string store_path, BackgroundDeletion* deletion,
                  StoreWriterOptions options = {});
  ~StoreFileWriter() override;

  Status Begin(std::uint32_t num_files) override;
  // The file goes into the store with the scores that follow it (or none).
  void AddFile(const IndexedFile& file) override;
  void AddFileScores(std::span<const std::uint32_t> word_indexes,
                     std::span<const std::uint8_t> scores) override;
  // The texts are gathered in a temporary file of the run and copied into
  // the store's documents' texts section by FinishWriting.
  Status KeepDocumentText(std::string_view relative_path, std::int64_t size,
                          std::int64_t modified_ns,
                          const DocumentSourceText& text) override;
  Status WriteLexicon(std::string_view title,
                      const RunLexicon& lexicon) override;
  // Failed also when the store refused a file or could not be written.
  Status FinishWriting() override;
  Status CompressIndexFile() override;
  // Publishes the store with the fingerprint of the compressed index file,
  // then the index file (and the data file).
  Status Commit() override;
  void Discard() override;

 private:
  // Hands the pending file to the store, with these scores.
  void AddPending(std::span<const StoreScore> scores);

  ClassicStoreWriter classic_;
  std::string data_path_;
  std::string store_path_;
  BackgroundDeletion* deletion_;
  StoreWriterOptions options_;
  std::unique_ptr<StoreWriter> store_;
  // The documents' texts of the run, from its first document until
  // FinishWriting.
  std::unique_ptr<DocumentTextGatherer> texts_;
  // The file last added, until its scores come; its texts are kept here.
  bool pending_ = false;
  std::string path_, title_, first_text_, description_;
  StoreFileEntry entry_;
  std::vector<StoreScore> scores_;
  // The first failure of the store while the files came.
  Status status_;
};

}  // namespace orvane
