#include "engine/reading/reader_protocol.h"

#include <algorithm>
#include <utility>

#include "engine/common/file_descriptor.h"

namespace orvane {

namespace {

constexpr std::size_t kFrameHeaderSize = 5;
// The writer sends its buffer once it holds this much.
constexpr std::size_t kWriteBufferSize = 64 * 1024;

constexpr char kTitleFrame = 'T';
constexpr char kPageFrame = 'P';
constexpr char kLineFrame = 'L';
constexpr char kLinePartFrame = 'C';
constexpr char kBytesFrame = 'B';
constexpr char kDoneFrame = 'E';
constexpr char kFailedFrame = 'F';

std::uint32_t Little32(std::string_view bytes) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = value << 8 | static_cast<unsigned char>(bytes[i]);
  }
  return value;
}

}  // namespace

std::string DurationLimitText(std::chrono::milliseconds duration) {
  long long ms = duration.count();
  std::string text = std::to_string(ms / 1000);
  if (ms % 1000 != 0) {
    std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
    while (fraction.back() == '0') fraction.pop_back();
    text += "." + fraction;
  }
  return text + " s";
}

std::string ByteLimitText(std::uint64_t bytes) {
  static constexpr const char* kUnits[] = {"GiB", "MiB", "KiB"};
  for (int i = 0; i < 3; ++i) {
    std::uint64_t unit = std::uint64_t{1} << (10 * (3 - i));
    if (bytes >= unit && bytes % unit == 0) {
      return std::to_string(bytes / unit) + " " + kUnits[i];
    }
  }
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

std::string FailureReason(WireFailure failure, std::string_view detail,
                          const ReaderLimits& limits) {
  std::string detail_text(detail);
  switch (failure) {
    case WireFailure::kCannotOpen:
      return "cannot be opened: " + detail_text;
    case WireFailure::kEncrypted:
      return "encrypted";
    case WireFailure::kDamaged:
      return "damaged: " + detail_text;
    case WireFailure::kTooMuchText:
      return "holds more than " + ByteLimitText(limits.text_bytes) + " of text";
    case WireFailure::kOutOfMemory:
      return "needed more than " + ByteLimitText(limits.memory_bytes);
    case WireFailure::kNotDocument:
      return "not a document of a known kind";
    case WireFailure::kTooLarge:
      return "too large: " + detail_text;
  }
  return "damaged: " + detail_text;
}

FrameWriter::FrameWriter(int fd, std::uint64_t max_text_bytes)
    : fd_(fd), max_text_bytes_(max_text_bytes) {}

void FrameWriter::Begin() {
  text_bytes_ = 0;
  full_ = false;
  buffer_.clear();
}

void FrameWriter::Frame(char type, std::string_view payload) {
  buffer_.push_back(type);
  auto size = static_cast<std::uint32_t>(payload.size());
  for (int i = 0; i < 4; ++i) {
    buffer_.push_back(static_cast<char>(size >> (8 * i) & 0xFF));
  }
  buffer_.append(payload);
  if (buffer_.size() >= kWriteBufferSize) Flush();
}

bool FrameWriter::Flush() {
  if (!write_failed_ && !WriteFully(fd_, buffer_.data(), buffer_.size())) {
    write_failed_ = true;
  }
  buffer_.clear();
  return !write_failed_;
}

bool FrameWriter::TakeText(std::size_t size) {
  if (full_ || write_failed_) return false;
  if (size > max_text_bytes_ - text_bytes_) {
    full_ = true;
    return false;
  }
  text_bytes_ += size;
  return true;
}

void FrameWriter::Title(std::string_view utf8) {
  Frame(kTitleFrame, utf8.substr(0, kMaxFramePayload));
}

void FrameWriter::PageStart() { Frame(kPageFrame, {}); }

bool FrameWriter::Line(std::string_view utf8) {
  if (!TakeText(utf8.size())) return false;
  while (utf8.size() > kMaxFramePayload) {
    Frame(kLinePartFrame, utf8.substr(0, kMaxFramePayload));
    utf8.remove_prefix(kMaxFramePayload);
  }
  Frame(kLineFrame, utf8);
  return !write_failed_;
}

bool FrameWriter::Bytes(std::string_view bytes) {
  if (!TakeText(bytes.size())) return false;
  while (!bytes.empty()) {
    std::size_t part = std::min<std::size_t>(bytes.size(), kMaxFramePayload);
    Frame(kBytesFrame, bytes.substr(0, part));
    bytes.remove_prefix(part);
  }
  return !write_failed_;
}

bool FrameWriter::Done() {
  Frame(kDoneFrame, {});
  return Flush();
}

bool FrameWriter::Failed(WireFailure failure, std::string_view detail) {
  std::string payload(1, static_cast<char>(failure));
  payload.append(detail.substr(0, kMaxFramePayload - 1));
  Frame(kFailedFrame, payload);
  return Flush();
}

AnswerParser::AnswerParser(std::uint64_t max_text_bytes)
    : builder_(max_text_bytes), max_text_bytes_(max_text_bytes) {}

AnswerParser::State AnswerParser::Broken(std::string because) {
  detail_ = std::move(because);
  state_ = State::kBroken;
  return state_;
}

AnswerParser::State AnswerParser::Feed(std::string_view bytes) {
  if (state_ == State::kReading) {
    pending_.append(bytes);
  } else if (!bytes.empty()) {
    return Broken("it said more after its answer");
  }
  std::size_t at = 0;
  while (state_ == State::kReading &&
         pending_.size() - at >= kFrameHeaderSize) {
    std::string_view header = std::string_view(pending_).substr(at);
    std::uint32_t size = Little32(header.substr(1, 4));
    if (size > kMaxFramePayload) return Broken("a frame is too long");
    if (pending_.size() - at - kFrameHeaderSize < size) break;
    Take(header[0], header.substr(kFrameHeaderSize, size));
    at += kFrameHeaderSize + size;
  }
  pending_.erase(0, at);
  if (state_ != State::kReading && !pending_.empty()) {
    return Broken("it said more after its answer");
  }
  return state_;
}

AnswerParser::State AnswerParser::Take(char type, std::string_view payload) {
  switch (type) {
    case kTitleFrame:
      builder_.Title(payload);
      return state_;
    case kPageFrame:
      builder_.PageStart();
      return state_;
    case kLinePartFrame:
      // A line's parts count towards the limit as they come, so that no
      // answer makes the program hold more than the limit.
      if (long_line_.size() + payload.size() > max_text_bytes_) {
        return Broken("it sent more text than allowed");
      }
      long_line_.append(payload);
      return state_;
    case kLineFrame: {
      bool kept;
      if (long_line_.empty()) {
        kept = builder_.Line(payload);
      } else {
        long_line_.append(payload);
        kept = builder_.Line(long_line_);
        long_line_.clear();
      }
      if (!kept) return Broken("it sent more text than allowed");
      return state_;
    }
    case kBytesFrame:
      if (!builder_.Bytes(payload)) {
        return Broken("it sent more text than allowed");
      }
      return state_;
    case kDoneFrame:
      if (!long_line_.empty()) return Broken("its last line has no end");
      state_ = State::kDone;
      return state_;
    case kFailedFrame:
      if (payload.empty() ||
          static_cast<unsigned char>(payload[0]) <
              static_cast<unsigned char>(WireFailure::kCannotOpen) ||
          static_cast<unsigned char>(payload[0]) >
              static_cast<unsigned char>(WireFailure::kTooLarge)) {
        return Broken("a failure of an unknown kind");
      }
      failure_ = static_cast<WireFailure>(payload[0]);
      detail_.assign(payload.substr(1));
      state_ = State::kFailed;
      return state_;
    default:
      return Broken("a frame of an unknown type");
  }
}

}  // namespace orvane
