#include "engine/store/store_fingerprint.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/text/compression.h"
#include "tests/support/temp_tree.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace orvane {
namespace {

// Compresses text into DIR/name as an indexing run does.
std::string CompressedIndex(const testing::TempDir& dir, const std::string& name,
                            const std::string& text) {
  std::string path = dir.Write(name, text);
  EXPECT_NE(squeez::_alb(), 0);
  EXPECT_GE(squeez::_cf(path, path + ".work", true), 0);
  squeez::_dalb();
  return path;
}

TEST(StoreFingerprintTest, TakesTheSizesAndContentChecksumOfTheIndex) {
  testing::TempDir dir;
  const std::string text = "\"a.txt\"\r\n\"End of file list\"\r\n1,\"Title\"\r\n";
  std::string changed = text;
  changed[2] = 'b';  // same lengths, other text
  for (const std::string& t : {text, changed, std::string()}) {
    std::string path = CompressedIndex(dir, "a_index.tavo", t);
    Result<StoreFingerprint> fingerprint = FingerprintOfIndexFile(path);
    ASSERT_TRUE(fingerprint.ok()) << fingerprint.status().message();
    EXPECT_EQ(fingerprint->index_file_size, std::filesystem::file_size(path));
    EXPECT_EQ(fingerprint->text_length, t.size());
    // The zstd frame's checksum: the low 32 bits of XXH64 of the content.
    EXPECT_EQ(fingerprint->text_checksum,
              static_cast<std::uint32_t>(XXH64(t.data(), t.size(), 0)));
  }
  EXPECT_FALSE(FingerprintOfIndexFile(CompressedIndex(dir, "b_index.tavo", text)).value() ==
               FingerprintOfIndexFile(CompressedIndex(dir, "c_index.tavo", changed)).value());
}

TEST(StoreFingerprintTest, RefusesWhatIsNoCompressedIndex) {
  testing::TempDir dir;
  const std::string plain = dir.Write("plain_index.tavo", "\"a.txt\"\r\n");
  const std::string missing = dir.Path("missing_index.tavo");
  EXPECT_EQ(FingerprintOfIndexFile(plain).status().message(),
            "Cannot read the index file " + plain + ": it is not a compressed index.");
  EXPECT_EQ(FingerprintOfIndexFile(missing).status().message(),
            "Cannot read the index file " + missing + ": No such file or directory.");
}

}  // namespace
}  // namespace orvane
