// What the program and a document worker (orvane-reader) say to each other
// over the worker's standard input and output.
//
// A request is the path of one document followed by a zero byte. The
// answer is a series of frames, each a type byte, its payload's length (4
// bytes, least significant first) and the payload, ending with a frame
// kDone or kFailed:
//
//   'T' the title (UTF-8)      'P' a page starts (empty)
//   'L' one line (UTF-8)       'C' the first part of a line that goes on
//                                  in the next frame ('C' or 'L')
//   'B' bytes of a compressed text
//   'E' done (empty)           'F' failed: a WireFailure byte, then the
//                                  detail (UTF-8)
//
// The worker answers one request at a time and says nothing in between.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/reading/document_reader.h"
#include "engine/reading/document_text.h"

namespace orvane {

// Why a worker could not read a document.
enum class WireFailure : unsigned char {
  kCannotOpen = 1,  // detail: the system's description
  kEncrypted = 2,
  kDamaged = 3,      // detail: what the library said
  kTooMuchText = 4,  // the text passed the limit
  kOutOfMemory = 5,  // the memory limit was reached; the worker then ends
  kNotDocument = 6,  // its first bytes tell no kind of document
  kTooLarge = 7,     // detail: what unpacks to more than a reader allows
};

// The largest payload a frame may carry: a longer line is sent in parts.
inline constexpr std::uint32_t kMaxFramePayload = std::uint32_t{1} << 20;

// The reason shown for a failure the worker reported.
std::string FailureReason(WireFailure failure, std::string_view detail,
                          const ReaderLimits& limits);

// The worker's side: a sink that sends what a reader finds as frames to a
// file descriptor, through a buffer. Line and Bytes return false once
// max_text_bytes have been sent (the reader then stops), or once a write
// failed (the program is gone).
class FrameWriter : public DocumentSink {
 public:
  FrameWriter(int fd, std::uint64_t max_text_bytes);
  FrameWriter(const FrameWriter&) = delete;
  FrameWriter& operator=(const FrameWriter&) = delete;

  // Makes the writer ready for the next document.
  void Begin();

  void Title(std::string_view utf8) override;
  void PageStart() override;
  bool Line(std::string_view utf8) override;
  bool Bytes(std::string_view bytes) override;

  // True once the text limit has been passed.
  bool full() const { return full_; }

  // Ends the answer with kDone, or with kFailed, and sends everything. False
  // when the answer could not be written.
  bool Done();
  bool Failed(WireFailure failure, std::string_view detail);

 private:
  void Frame(char type, std::string_view payload);
  bool Flush();
  bool TakeText(std::size_t size);

  int fd_;
  std::uint64_t max_text_bytes_;
  std::uint64_t text_bytes_ = 0;
  bool full_ = false;
  bool write_failed_ = false;
  std::string buffer_;
};

// The program's side: reads one answer from the bytes that arrive and puts
// it together.
class AnswerParser {
 public:
  enum class State {
    kReading,  // more frames to come
    kDone,     // the document's text is whole
    kFailed,   // the worker gave its reason
    kBroken,   // not a well-formed answer, or more text than the limit
  };

  // max_text_bytes: the most text an answer may carry (the worker's limit).
  explicit AnswerParser(std::uint64_t max_text_bytes);

  // Takes the next bytes of the answer. Bytes after the last frame make the
  // answer kBroken: the worker says nothing in between.
  State Feed(std::string_view bytes);
  State state() const { return state_; }

  // REQUIRES: state() == kDone.
  DocumentText& text() { return builder_.text(); }
  // REQUIRES: state() == kFailed.
  WireFailure failure() const { return failure_; }
  const std::string& detail() const { return detail_; }
  // REQUIRES: state() == kBroken. What was wrong, for the reason.
  const std::string& broken_because() const { return detail_; }

 private:
  State Broken(std::string because);
  // Handles one whole frame; returns the new state.
  State Take(char type, std::string_view payload);

  DocumentTextBuilder builder_;
  std::uint64_t max_text_bytes_;
  State state_ = State::kReading;
  std::string pending_;  // bytes of a frame not yet whole
  WireFailure failure_ = WireFailure::kDamaged;
  std::string detail_;
  // The parts of a line sent in 'C' frames so far.
  std::string long_line_;
};

}  // namespace orvane
