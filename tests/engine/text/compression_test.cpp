#include "engine/text/compression.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zstd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "tests/support/temp_tree.h"

namespace orvane::squeez {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
namespace fs = std::filesystem;

// Lines like those of an index text with stretches of random bytes, so that
// compressed and raw blocks both occur.
std::string IndexLikeText(std::size_t size) {
  std::string text;
  std::mt19937 random(7);
  for (int line = 1; text.size() < size; ++line) {
    text += std::to_string(line) + ",\"w" + std::to_string(random() % 50000) +
            "\"\r\n\"-" + std::to_string(random() % 300) + ",255,0,17\"\r\n";
    if (line % 50 == 0) {
      for (int i = 0; i < 400; ++i) text += static_cast<char>(random());
    }
  }
  return text;
}

// _alb, one call, _dalb: the calling order of the program.
template <class Call>
std::int32_t Prepared(Call call) {
  EXPECT_NE(_alb(), 0);
  std::int32_t result = call();
  _dalb();
  return result;
}

// Compresses in place as the Index Module does; returns the index path.
std::string CompressedIndex(const TempDir& dir, const std::string& plain) {
  std::string index = dir.Write("a_index.tavo", plain);
  EXPECT_EQ(
      Prepared([&] { return _cf(index, dir.Path("a_index.ttavoc"), true); }),
      0);
  EXPECT_FALSE(fs::exists(dir.Path("a_index.ttavoc")));
  return index;
}

TEST(CompressionTest, RoundTripsALargeIndexText) {
  TempDir dir;
  const std::string plain = IndexLikeText(24 * 1024 * 1024);
  std::string index = CompressedIndex(dir, plain);
  std::string compressed = ReadFileBytes(index);
  EXPECT_LT(compressed.size(), plain.size());
  std::string work = dir.Path("a_index.tavod");
  EXPECT_EQ(Prepared([&] { return _dcf(index, work, false); }), 0);
  EXPECT_TRUE(ReadFileBytes(work) == plain);
  EXPECT_TRUE(ReadFileBytes(index) == compressed);  // the index is unchanged
}

TEST(CompressionTest, RoundTripsAnEmptyFileWithoutPreparedBuffers) {
  TempDir dir;
  std::string source = dir.Write("plain", "");
  EXPECT_EQ(_cf(source, dir.Path("packed"), false), 0);
  EXPECT_TRUE(fs::exists(source));
  EXPECT_EQ(_dcf(dir.Path("packed"), dir.Path("work"), false), 0);
  EXPECT_TRUE(fs::exists(dir.Path("work")));
  EXPECT_EQ(fs::file_size(dir.Path("work")), 0u);
}

TEST(CompressionTest, ZstdCommandPrintsThePlainText) {
  if (std::system("command -v zstd >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "the zstd command is not installed";
  }
  TempDir dir;
  const std::string plain = IndexLikeText(300000);
  std::string index = CompressedIndex(dir, plain);
  std::string command =
      "zstd -q -dc '" + index + "' > '" + dir.Path("out") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_TRUE(ReadFileBytes(dir.Path("out")) == plain);
}

TEST(CompressionTest, RefusesDataThatIsNotAWholeCompressedIndex) {
  TempDir dir;
  const std::string plain = IndexLikeText(2 * 1024 * 1024);
  std::string good = ReadFileBytes(CompressedIndex(dir, plain));
  std::string damaged = good;
  damaged[damaged.size() / 2] ^= 0x10;
  std::string unchecked(ZSTD_compressBound(plain.size()), '\0');
  unchecked.resize(ZSTD_compress(unchecked.data(), unchecked.size(),
                                 plain.data(), plain.size(), 3));
  struct Row {
    const char* what;
    std::string bytes;
  } rows[] = {
      {"damaged in the middle", damaged},
      {"truncated to half", good.substr(0, good.size() / 2)},
      {"short of its last checksum byte", good.substr(0, good.size() - 1)},
      {"with trailing garbage", good + "x"},
      {"two frames", good + good},
      {"plain text", plain.substr(0, 5000)},
      {"empty", ""},
      {"a frame without checksum", unchecked},
  };
  for (const Row& row : rows) {
    std::string source = dir.Write("bad.tavo", row.bytes);
    std::string work = dir.Path("work");
    EXPECT_EQ(Prepared([&] { return _dcf(source, work, false); }),
              kNotCompressedIndex)
        << row.what;
    EXPECT_FALSE(fs::exists(work)) << row.what;  // no partial text
  }
}

TEST(CompressionTest, RefusesUnreadableSourcesAndUnwritableDestinations) {
  TempDir dir;
  testing::AllowEveryone(dir.path());
  const std::string plain = "\"a.txt\"\r\n\"End of file list\"\r\n";
  std::string index = dir.Write("a_index.tavo", plain);
  std::string locked = dir.Write("locked.tavo", "text");
  ::chmod(locked.c_str(), 0);
  std::string sealed = dir.MakeDir("sealed");
  ::chmod(sealed.c_str(), 0555);
  std::string temp = dir.Path("t");
  struct Row {
    const char* what;
    std::string source;
    std::string destination;
    std::int32_t code;
  } rows[] = {
      {"missing source", dir.Path("missing"), temp, kSourceUnreadable},
      {"folder as source", dir.MakeDir("folder"), temp, kSourceUnreadable},
      {"unreadable source", locked, temp, kSourceUnreadable},
      {"missing folder", index, dir.Path("no/such/t"), kDestinationUnwritable},
      {"folder as destination", index, sealed, kDestinationUnwritable},
      {"unwritable folder", index, sealed + "/t", kDestinationUnwritable},
      // The source as destination would be lost before it was read.
      {"source as destination", index, index, kDestinationUnwritable},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(testing::RunUnprivileged([&] {
                return Prepared(
                    [&] { return _cf(row.source, row.destination, true); });
              }),
              row.code)
        << row.what;
    EXPECT_EQ(ReadFileBytes(index), plain) << row.what;
    EXPECT_FALSE(fs::exists(temp)) << row.what;
  }
  std::string compressed = ReadFileBytes(CompressedIndex(dir, plain));
  EXPECT_EQ(
      testing::RunUnprivileged([&] {
        return Prepared([&] { return _dcf(index, sealed + "/w", false); });
      }),
      kDestinationUnwritable);
  EXPECT_TRUE(ReadFileBytes(index) == compressed);
}

TEST(CompressionTest, ReplacesAnEarlierDestinationWithoutWritingThroughIt) {
  TempDir dir;
  testing::AllowEveryone(dir.path());
  std::string index = CompressedIndex(dir, "\"x.txt\"\r\n");
  // A read-only index (an archive copied from a disc) keeps its mode when
  // compressed; its work file must not inherit it, or the next load could
  // not replace the work file.
  ::chmod(index.c_str(), 0444);
  std::string work = dir.Path("work");
  EXPECT_EQ(testing::RunUnprivileged([&] {
              std::int32_t first = _dcf(index, work, false);
              return first < 0 ? first : _dcf(index, work, false);
            }),
            0);
  std::string victim = dir.Write("victim", "keep");
  fs::remove(work);
  fs::create_symlink(victim, work);
  EXPECT_EQ(Prepared([&] { return _dcf(index, work, false); }), 0);
  EXPECT_EQ(ReadFileBytes(victim), "keep");
  EXPECT_EQ(ReadFileBytes(work), "\"x.txt\"\r\n");
  EXPECT_FALSE(fs::is_symlink(work));
}

}  // namespace
}  // namespace orvane::squeez
