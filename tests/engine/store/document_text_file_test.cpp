// The text file beside an index, and the documents' text that searches
// read: kept text while the document is unchanged, the document read again
// once it changed, and a text file of another index never used.
#include "engine/store/document_text_file.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <zstd.h>

#include <filesystem>
#include <string>

#include "engine/reading/reader_pool.h"
#include "engine/search/document_texts.h"
#include "engine/text/extract_builder.h"
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

TEST(DocumentTextFileTest, KeepsTextsForTheirIndexAndStamp) {
  TempDir dir;
  const std::string final_path = dir.Path("p_text.tavo");
  const StoreFingerprint fingerprint{1234, 99, 0xABCDEF01};
  {
    DocumentTextFileWriter writer(dir.Path("p_text.part.tavo"));
    ASSERT_TRUE(writer.Add("a.pdf", {10, 20}, Sample("first\r\nsecond\r\n")).ok());
    DocumentSourceText utf8 = Sample("caf\xC3\xA9\r\n");
    utf8.decode_utf8 = true;
    utf8.page_offsets.clear();
    ASSERT_TRUE(writer.Add("sub/b.gz", {30, 40}, utf8).ok());
    ASSERT_TRUE(writer.Commit(fingerprint, final_path).ok());
  }
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"p_text.tavo"});

  Result<std::unique_ptr<DocumentTextFile>> opened =
      DocumentTextFile::Open(final_path, fingerprint);
  ASSERT_TRUE(opened.ok()) << opened.status().message();
  const DocumentTextFile& file = **opened;
  EXPECT_EQ(file.count(), 2u);
  std::shared_ptr<DocumentSourceText> a = file.Find("a.pdf", {10, 20});
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(*a, Sample("first\r\nsecond\r\n"));
  ASSERT_NE(file.Find("sub/b.gz", {30, 40}), nullptr);
  EXPECT_TRUE(file.Find("sub/b.gz", {30, 40})->decode_utf8);
  // A changed document, or one never kept, has no text here.
  EXPECT_EQ(file.Find("a.pdf", {10, 21}), nullptr);
  EXPECT_EQ(file.Find("a.pdf", {11, 20}), nullptr);
  EXPECT_EQ(file.Find("c.pdf", {10, 20}), nullptr);

  // Another index's, a cut file and no file are refused with a reason.
  StoreFingerprint other = fingerprint;
  other.text_checksum ^= 1;
  EXPECT_NE(DocumentTextFile::Open(final_path, other).status().message().find(
                "belongs to another index"),
            std::string::npos);
  const std::string bytes = testing::ReadFileBytes(final_path);
  dir.Write("cut_text.tavo", bytes.substr(0, bytes.size() - 3));
  EXPECT_NE(DocumentTextFile::Open(dir.Path("cut_text.tavo"), fingerprint)
                .status()
                .message()
                .find("is damaged"),
            std::string::npos);
  EXPECT_FALSE(DocumentTextFile::Open(dir.Path("none_text.tavo"), fingerprint).ok());
}

TEST(DocumentTextFileTest, DiscardedUnlessCommitted) {
  TempDir dir;
  {
    DocumentTextFileWriter writer(dir.Path("p_text.part.tavo"));
    ASSERT_TRUE(writer.Add("a.pdf", {1, 2}, Sample("x\r\n")).ok());
  }
  EXPECT_TRUE(dir.Names().empty());
  EXPECT_EQ(TextFilePathFor("/o/p_index.tavo"), "/o/p_text.tavo");
  EXPECT_EQ(TextFilePathFor("/o/p.tavo"), "");
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
  DocumentTextFileWriter writer(dir.Path("out/p_text.part.tavo"));
  ASSERT_TRUE(writer.Add("notes.pdf", stamp, kept).ok());
  ASSERT_TRUE(writer
                  .Commit(*FingerprintOfIndexFile(index_path),
                          TextFilePathFor(index_path))
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

  // A text file of another index is not read.
  WriteIndexFile(dir, "another index text");
  DocumentTexts other(index_path, top, &pool);
  std::filesystem::copy_file(TestDataFolder() / "documents" / "notes.pdf",
                             top + "notes.pdf",
                             std::filesystem::copy_options::overwrite_existing);
  ASSERT_NE(other.TextOf(top + "notes.pdf"), nullptr);
  EXPECT_EQ(other.documents_read(), 1);
}

}  // namespace
}  // namespace orvane
