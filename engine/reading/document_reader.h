// The port through which the engine has documents read. A reader of
// documents never runs in the program itself: the implementation
// (ReaderPool) hands each path to a worker process, which may take its time,
// crash or be stopped without harm to the run. Tests use a fake.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/reading/document_text.h"

namespace orvane {

// What one document may cost.
struct ReaderLimits {
  // To read it, from the request; the time while the run is paused does
  // not count.
  std::chrono::milliseconds time{30000};
  std::uint64_t memory_bytes = std::uint64_t{1} << 30;  // of the worker
  std::uint64_t text_bytes = std::uint64_t{256} << 20;  // of text it gives
};

// The limits as they stand in reasons: "30 s", "0.5 s"; "1 GiB", "256 MiB",
// "100 KiB", "10 bytes".
std::string DurationLimitText(std::chrono::milliseconds duration);
std::string ByteLimitText(std::uint64_t bytes);

// What became of one document.
struct DocumentOutcome {
  std::string path;
  // Display text, empty when the document was read: "encrypted",
  // "damaged: ...", "took longer than 30 s", "needed more than 1 GiB",
  // "the reader stopped (signal 11)" and the like.
  std::string reason;
  DocumentText text;  // empty unless read

  bool ok() const { return reason.empty(); }
};

// Called while an outcome is waited for; false stops the wait.
using KeepWaiting = std::function<bool()>;

// How often, at least, Next asks KeepWaiting while it waits.
inline constexpr std::chrono::milliseconds kKeepWaitingInterval{50};

class DocumentReader {
 public:
  virtual ~DocumentReader() = default;

  // Asks for the document at path to be read. Documents may be read side
  // by side; their outcomes come back from Next in the order of the calls.
  virtual void Queue(std::string path) = 0;

  // Documents queued whose outcome Next has not returned yet.
  virtual std::size_t pending() const = 0;

  // The outcome of the first document queued and not yet returned, once it
  // is known. While it waits, it calls keep_waiting at least every
  // kKeepWaitingInterval (on the caller's thread); when that answers false
  // it cancels (below) and returns nullopt. nullopt also when nothing is
  // pending.
  virtual std::optional<DocumentOutcome> Next(
      const KeepWaiting& keep_waiting) = 0;

  // Drops every pending document and stops the reading of any, at once:
  // a worker that is busy is ended. The reader stays usable.
  virtual void Cancel() = 0;

  // The run is paused (its pause box is open) until Resume: meanwhile the
  // documents being read take no time off their time limit. A reader
  // without a time limit ignores both.
  virtual void Pause() {}
  virtual void Resume() {}
};

}  // namespace orvane
