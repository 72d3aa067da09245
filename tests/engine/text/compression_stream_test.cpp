#include "engine/text/compression_stream.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/support/temp_tree.h"

namespace orvane::squeez {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

// An index-like text of several pieces, compressed as the Index Module
// does; returns the compressed file's path.
std::string Compressed(const TempDir& dir, const std::string& plain) {
  std::string path = dir.Write("s_index.tavo", plain);
  _alb();
  EXPECT_EQ(_cf(path, dir.Path("s_index.ttavoc"), true), 0);
  _dalb();
  return path;
}

std::string Text(std::size_t size) {
  std::string text;
  std::mt19937 random(11);
  for (int line = 1; text.size() < size; ++line) {
    text += std::to_string(line) + ",\"w" + std::to_string(random() % 90000) +
            "\"\r\n";
  }
  return text;
}

// Reads the whole stream with capacities that cut the pieces anywhere.
template <class Stream>
std::string ReadAll(Stream& stream, std::int64_t* last) {
  const std::size_t capacities[] = {1, 7, 4096, 300000, 65536, 131072, 3};
  std::string got;
  std::string buffer(300000, '\0');
  for (std::size_t i = 0;; ++i) {
    std::int64_t n = stream.Read(buffer.data(), capacities[i % 7]);
    if (n <= 0) {
      *last = n;
      return got;
    }
    got.append(buffer.data(), static_cast<std::size_t>(n));
  }
}

TEST(ReadAheadStreamTest, DeliversTheWholeTextInOrder) {
  TempDir dir;
  const std::string text = Text(3 * ReadAheadStream::kPieces *
                                ReadAheadStream::kPieceSize);
  std::string path = Compressed(dir, text);
  ReadAheadStream stream;
  ASSERT_EQ(stream.Open(path), 0);
  EXPECT_EQ(stream.recorded_length(), static_cast<std::int64_t>(text.size()));
  std::int64_t last = 1;
  EXPECT_TRUE(ReadAll(stream, &last) == text);
  EXPECT_EQ(last, 0);
  char byte;
  EXPECT_EQ(stream.Read(&byte, 1), 0);
}

TEST(ReadAheadStreamTest, DamageEndsTheTextWithItsCode) {
  TempDir dir;
  const std::string text = Text(2 * ReadAheadStream::kPieceSize);
  std::string compressed = ReadFileBytes(Compressed(dir, text));
  std::string path =
      dir.Write("cut_index.tavo", compressed.substr(0, compressed.size() / 2));
  ReadAheadStream stream;
  ASSERT_EQ(stream.Open(path), 0);
  std::int64_t last = 0;
  std::string got = ReadAll(stream, &last);
  EXPECT_EQ(last, kNotCompressedIndex);
  EXPECT_LT(got.size(), text.size());
  EXPECT_TRUE(text.compare(0, got.size(), got) == 0);
  char byte;
  EXPECT_EQ(stream.Read(&byte, 1), kNotCompressedIndex);

  ReadAheadStream missing;
  EXPECT_EQ(missing.Open(dir.Path("none_index.tavo")), kSourceUnreadable);
  ReadAheadStream plain;
  EXPECT_EQ(plain.Open(dir.Write("plain_index.tavo", text)), kNotCompressedIndex);
}

// A reader that stops early (the data file is current) leaves the
// decompression waiting for free pieces; the stream still ends at once.
TEST(ReadAheadStreamTest, StopsWhenTheReaderStopsEarly) {
  TempDir dir;
  std::string path = Compressed(dir, Text(8 * ReadAheadStream::kPieceSize));
  for (std::size_t taken : {0, 10, 200000}) {
    ReadAheadStream stream;
    ASSERT_EQ(stream.Open(path), 0);
    std::string buffer(taken + 1, '\0');
    std::size_t got = 0;
    while (got < taken) {
      std::int64_t n = stream.Read(buffer.data(), taken - got);
      ASSERT_GT(n, 0);
      got += static_cast<std::size_t>(n);
    }
  }
}

}  // namespace
}  // namespace orvane::squeez
