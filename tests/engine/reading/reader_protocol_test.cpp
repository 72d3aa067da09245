#include "engine/reading/reader_protocol.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace orvane {
namespace {

// What a FrameWriter sends, caught in a scratch file.
class SentBytes {
 public:
  SentBytes()
      : fd_(open(dir_.Path("sent").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600)) {
    EXPECT_GE(fd_, 0);
  }
  ~SentBytes() { close(fd_); }
  int fd() const { return fd_; }
  std::string Take() const { return testing::ReadFileBytes(dir_.Path("sent")); }

 private:
  testing::TempDir dir_;
  int fd_;
};

std::string Frame(char type, std::string_view payload) {
  std::string frame(1, type);
  auto size = static_cast<std::uint32_t>(payload.size());
  for (int i = 0; i < 4; ++i)
    frame.push_back(static_cast<char>(size >> (8 * i)));
  return frame + std::string(payload);
}

TEST(ReaderProtocolTest, AnswerArrivesWholeInAnyPieces) {
  DocumentText sent;
  sent.title = "Field Notes";
  sent.page_starts = {0, 2};
  // A line longer than one frame goes in parts.
  sent.lines = {"first", "second", std::string(kMaxFramePayload + 10, 'x')};
  sent.bytes = "and compressed text";
  SentBytes file;
  FrameWriter writer(file.fd(), 1 << 22);
  writer.Begin();
  writer.Title(sent.title);
  writer.PageStart();
  ASSERT_TRUE(writer.Line(sent.lines[0]));
  ASSERT_TRUE(writer.Line(sent.lines[1]));
  writer.PageStart();
  ASSERT_TRUE(writer.Line(sent.lines[2]));
  ASSERT_TRUE(writer.Bytes("and compressed "));
  ASSERT_TRUE(writer.Bytes("text"));
  ASSERT_TRUE(writer.Done());
  std::string bytes = file.Take();
  for (std::size_t piece : {std::size_t{1}, std::size_t{7}, bytes.size()}) {
    AnswerParser parser(1 << 22);
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      parser.Feed(std::string_view(bytes).substr(at, piece));
    }
    ASSERT_EQ(parser.state(), AnswerParser::State::kDone) << piece;
    EXPECT_EQ(parser.text(), sent) << piece;
  }
}

TEST(ReaderProtocolTest, WriterStopsAtTheTextLimit) {
  SentBytes file;
  FrameWriter writer(file.fd(), 1000);
  writer.Begin();
  ASSERT_TRUE(writer.Bytes("compressed "));
  EXPECT_FALSE(writer.Line(std::string(990, 'y')));
  EXPECT_TRUE(writer.full());
  ASSERT_TRUE(writer.Failed(WireFailure::kTooMuchText, {}));
  AnswerParser parser(1000);
  EXPECT_EQ(parser.Feed(file.Take()), AnswerParser::State::kFailed);
  EXPECT_EQ(parser.failure(), WireFailure::kTooMuchText);
  EXPECT_EQ(parser.detail(), "");
}

TEST(ReaderProtocolTest, RefusesDamagedAnswers) {
  struct Row {
    std::string bytes;
    std::string because;
  } rows[] = {
      {Frame('Z', ""), "a frame of an unknown type"},
      {std::string("L\xFF\xFF\xFF\x7F", 5), "a frame is too long"},
      {Frame('E', "") + "x", "it said more after its answer"},
      {Frame('F', ""), "a failure of an unknown kind"},
      {Frame('F',
             "\x09"
             "what"),
       "a failure of an unknown kind"},
      {Frame('C', "half a line") + Frame('E', ""), "its last line has no end"},
      {Frame('L', std::string(101, 'z')), "it sent more text than allowed"},
      {Frame('C', std::string(101, 'z')), "it sent more text than allowed"},
      {Frame('B', std::string(101, 'z')), "it sent more text than allowed"},
  };
  for (const Row& row : rows) {
    AnswerParser parser(100);
    EXPECT_EQ(parser.Feed(row.bytes), AnswerParser::State::kBroken)
        << testing::Visible(row.bytes);
    EXPECT_EQ(parser.broken_because(), row.because)
        << testing::Visible(row.bytes);
  }
}

TEST(ReaderProtocolTest, GivesReasonsInTheUsersWords) {
  ReaderLimits limits;
  struct Row {
    WireFailure failure;
    std::string detail;
    std::string reason;
  } rows[] = {
      {WireFailure::kEncrypted, "", "encrypted"},
      {WireFailure::kDamaged, "Couldn't read xref table",
       "damaged: Couldn't read xref table"},
      {WireFailure::kCannotOpen, "Permission denied",
       "cannot be opened: Permission denied"},
      {WireFailure::kTooMuchText, "", "holds more than 256 MiB of text"},
      {WireFailure::kOutOfMemory, "", "needed more than 1 GiB"},
      {WireFailure::kNotDocument, "", "not a document of a known kind"},
      {WireFailure::kTooLarge, "its parts unpack to more than 256 MiB",
       "too large: its parts unpack to more than 256 MiB"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FailureReason(row.failure, row.detail, limits), row.reason);
  }
}

TEST(ReaderProtocolTest, WritesLimitsShort) {
  using std::chrono::milliseconds;
  EXPECT_EQ(DurationLimitText(milliseconds(30000)), "30 s");
  EXPECT_EQ(DurationLimitText(milliseconds(500)), "0.5 s");
  EXPECT_EQ(DurationLimitText(milliseconds(1250)), "1.25 s");
  EXPECT_EQ(ByteLimitText(std::uint64_t{1} << 30), "1 GiB");
  EXPECT_EQ(ByteLimitText(std::uint64_t{3} << 29), "1536 MiB");
  EXPECT_EQ(ByteLimitText(std::uint64_t{100} << 10), "100 KiB");
  EXPECT_EQ(ByteLimitText(1000), "1000 bytes");
  EXPECT_EQ(ByteLimitText(1), "1 byte");
}

}  // namespace
}  // namespace orvane
