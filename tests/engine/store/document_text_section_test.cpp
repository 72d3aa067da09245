// The documents' texts in the store beside an index, and the documents'
// text that searches read: kept text while the document is unchanged, the
// document read again once it changed, and the texts of a store of another
// index, or of a store without texts, never used.
#include "engine/store/document_text_section.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <zstd.h>

#include <filesystem>
#include <string>

#include "engine/reading/reader_pool.h"
#include "engine/search/document_texts.h"
#include "engine/format/file_names.h"
#include "engine/text/extract_builder.h"
#include "tests/engine/store/store_model.h"
#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

using testing::TempDir;
using testing::TestDataFolder;

DocumentSourceText Sample(std::string text) {
  DocumentSourceText sample;
  sample.title = "Garden";
  sample.text = std::move(text);
  sample.page_offsets = {0, 7};
  return sample;
}

// Writes a store at path that holds the texts alone.
Status WriteTexts(const std::string& path, const StoreFingerprint& fingerprint,
                  std::vector<testing::ModelText> texts) {
  testing::StoreModel model;
  model.fingerprint = fingerprint;
  model.texts = std::move(texts);
  return testing::WriteModel(model, path);
}

TEST(DocumentTextSectionTest, KeepsTextsForTheirStamp) {
  TempDir dir;
  const std::string path = dir.Path("p_store.tavo");
  DocumentSourceText utf8 = Sample("caf\xC3\xA9\r\n");
  utf8.decode_utf8 = true;
  utf8.page_offsets.clear();
  ASSERT_TRUE(WriteTexts(path, {}, {{"a.pdf", {10, 20}, Sample("first\r\nsecond\r\n")},
                                    {"sub/b.gz", {30, 40}, utf8}})
                  .ok());
  // The texts' work file went with its gatherer.
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"p_store.tavo"});

  auto store = StoreReader::Open(path, StoreFingerprint{});
  ASSERT_TRUE(store.ok()) << store.status().message();
  Result<std::unique_ptr<DocumentTextSection>> opened = DocumentTextSection::Open(**store);
  ASSERT_TRUE(opened.ok()) << opened.status().message();
  const DocumentTextSection& texts = **opened;
  EXPECT_EQ(texts.count(), 2u);
  auto a = texts.Find("a.pdf", {10, 20});
  ASSERT_TRUE(a.ok() && *a != nullptr);
  EXPECT_EQ(**a, Sample("first\r\nsecond\r\n"));
  auto b = texts.Find("sub/b.gz", {30, 40});
  ASSERT_TRUE(b.ok() && *b != nullptr);
  EXPECT_EQ(**b, utf8);
  // A changed document, or one never kept, has no text here.
  for (auto [name, stamp] : std::vector<std::pair<const char*, DocumentStamp>>{
           {"a.pdf", {10, 21}}, {"a.pdf", {11, 20}}, {"c.pdf", {10, 20}}}) {
    auto none = texts.Find(name, stamp);
    EXPECT_TRUE(none.ok() && *none == nullptr) << name;
  }

  // A store without the section (one made from the index text) has none.
  ASSERT_TRUE(testing::WriteModel(testing::MakeModel(3, 5, 1), dir.Path("q_store.tavo")).ok());
  auto plain = StoreReader::Open(dir.Path("q_store.tavo"), std::nullopt);
  ASSERT_TRUE(plain.ok());
  auto none = DocumentTextSection::Open(**plain);
  ASSERT_TRUE(none.ok());
  EXPECT_EQ((*none)->count(), 0u);
  EXPECT_EQ(TextFilePathFor("/o/p_index.tavo"), "/o/p_text.tavo");
}

// Writes a one-frame index file and returns its path.
std::string WriteIndexFile(const TempDir& dir, const std::string& text) {
  std::string frame(ZSTD_compressBound(text.size()), '\0');
  frame.resize(ZSTD_compress(frame.data(), frame.size(), text.data(),
                             text.size(), 1));
  return dir.Write("out/p_index.tavo", frame);
}

TEST(DocumentTextsTest, ReadsTheKeptTextUntilTheDocumentChanges) {
  TempDir dir;
  const std::string top = dir.folder() + "top/";
  std::filesystem::create_directories(top);
  std::filesystem::copy_file(TestDataFolder() / "documents" / "notes.pdf",
                             top + "notes.pdf");
  dir.Write("top/plain.txt", "chameleon\r\n");
  const std::string index_path = WriteIndexFile(dir, "index text");
  // The kept text says "kept" where the document says "stayed".
  DocumentSourceText kept;
  kept.text = "The aardvark\r\nThe bumblebee\r\nThe chameleon kept hidden.\r\n";
  kept.page_offsets = {0, 14, 29};
  DocumentStamp stamp;
  ASSERT_TRUE(StampOfFile(top + "notes.pdf", &stamp));
  ASSERT_TRUE(WriteTexts(StoreFilePathFor(index_path), *FingerprintOfIndexFile(index_path),
                         {{"notes.pdf", stamp, kept}})
                  .ok());

  ReaderPoolOptions options;
  options.program = ORVANE_BINARY_DIR "/orvane-reader-fakes";
  options.workers = 1;
  ReaderPool pool(options);
  DocumentTexts texts(index_path, top, &pool);
  ExtractBuilder builder;
  builder.set_document_source(&texts);
  builder.options.search_words = {"chameleon"};
  EXPECT_EQ(texts.TextOf(top + "plain.txt"), nullptr);
  ASSERT_TRUE(builder.BuildExtracts(top + "notes.pdf"));
  ASSERT_EQ(builder.extracts().size(), 1u);
  EXPECT_NE(builder.extracts()[0].find("<b>chameleon</b> kept"), std::string::npos)
      << builder.extracts()[0] << texts.documents_read();
  EXPECT_EQ(builder.extract_pages(), std::vector<std::int32_t>{3});
  EXPECT_EQ(texts.documents_read(), 0);

  // Changed since: its own text, read again by the reader.
  struct timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (top + "notes.pdf").c_str(), times, 0), 0);
  DocumentTexts fresh(index_path, top, &pool);
  builder.set_document_source(&fresh);
  EXPECT_TRUE(builder.ContainsPhrase(top + "notes.pdf", {"stayed", "hidden"}));
  EXPECT_FALSE(builder.ContainsPhrase(top + "notes.pdf", {"kept", "hidden"}));
  EXPECT_EQ(fresh.documents_read(), 1);  // once: its text is kept at hand
  ASSERT_TRUE(builder.BuildExtracts(top + "notes.pdf"));
  EXPECT_EQ(builder.extract_pages(), std::vector<std::int32_t>{3});

  // The texts of a store of another index are not read, nor those of a
  // store without texts (as the Search Module makes from the index text).
  std::filesystem::copy_file(TestDataFolder() / "documents" / "notes.pdf",
                             top + "notes.pdf",
                             std::filesystem::copy_options::overwrite_existing);
  ASSERT_TRUE(StampOfFile(top + "notes.pdf", &stamp));
  ASSERT_TRUE(WriteTexts(StoreFilePathFor(index_path), *FingerprintOfIndexFile(index_path),
                         {{"notes.pdf", stamp, kept}})
                  .ok());
  WriteIndexFile(dir, "another index text");
  DocumentTexts other(index_path, top, &pool);
  ASSERT_NE(other.TextOf(top + "notes.pdf"), nullptr);
  EXPECT_EQ(other.documents_read(), 1);
  ASSERT_TRUE(WriteTexts(StoreFilePathFor(index_path), *FingerprintOfIndexFile(index_path), {})
                  .ok());
  DocumentTexts without(index_path, top, &pool);
  ASSERT_NE(without.TextOf(top + "notes.pdf"), nullptr);
  EXPECT_EQ(without.documents_read(), 1);
}

}  // namespace
}  // namespace orvane
