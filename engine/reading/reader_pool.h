// The document reader of the program: a pool of worker processes
// (orvane-reader), each reused for many documents. Each document gets a
// time limit (which the run's pauses do not use up), each worker a memory limit (RLIMIT_AS, set by the worker on
// itself at start); a worker that overruns, crashes or hangs is ended and
// started again for the next document, and the document is reported with
// its reason. Standard C++ and POSIX only: the libraries that read the
// documents are mapped by the workers, never by the program.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/reading/document_reader.h"

namespace orvane {

// The file name of the worker program.
inline constexpr const char* kReaderProgramName = "orvane-reader";

// Where the worker program is: beside the running program (the build
// folder), else in ../lib/orvane beside it (the installed layout), else the
// first (which does not exist; starting it fails with a reason).
std::filesystem::path ReaderProgramPath();

struct ReaderPoolOptions {
  std::filesystem::path program = ReaderProgramPath();
  int workers = 0;  // 0: one for each processor
  ReaderLimits limits;
};

class ReaderPool final : public DocumentReader {
 public:
  // Starts no process yet: a worker starts when its first document comes.
  explicit ReaderPool(ReaderPoolOptions options = {});
  // Ends every worker.
  ~ReaderPool() override;
  ReaderPool(const ReaderPool&) = delete;
  ReaderPool& operator=(const ReaderPool&) = delete;

  void Queue(std::string path) override;
  std::size_t pending() const override;
  std::optional<DocumentOutcome> Next(const KeepWaiting& keep_waiting) override;
  void Cancel() override;
  void Pause() override;
  void Resume() override;

  int worker_count() const { return static_cast<int>(slots_.size()); }
  // Worker processes started so far: one per worker, and one more for each
  // that had to be ended.
  int workers_started() const;

 private:
  struct Job {
    std::uint64_t number;      // in the order queued, from 0
    std::uint64_t generation;  // Cancel makes the jobs before it stale
    std::string path;
  };
  // One worker process and the thread that talks to it.
  struct Slot {
    pid_t pid = -1;        // guarded by mutex_ while running
    bool running = false;  // guarded by mutex_
    bool busy = false;     // reading a document; guarded by mutex_
    int socket = -1;       // owned by the slot's thread
    std::thread thread;
  };

  void SlotLoop(Slot* slot);
  // Has the slot's worker read the job's document. A job that Cancel made
  // stale meanwhile gives an outcome that nobody takes.
  DocumentOutcome Read(Slot* slot, const Job& job);
  bool Stale(const Job& job) const;
  // The time the pool has been paused since it began, and whether it is
  // paused now.
  std::chrono::steady_clock::duration PausedTime(bool* paused) const;
  // Starts the slot's worker; false with *reason when it cannot start.
  bool Start(Slot* slot, std::string* reason);
  // Ends the slot's worker (when end is set) and waits for it; returns the
  // reason its end gives ("the reader stopped (signal 11)").
  std::string Reap(Slot* slot, bool end);

  const ReaderPoolOptions options_;
  mutable std::mutex mutex_;
  std::condition_variable work_;      // a job was queued, or stopping_
  std::condition_variable finished_;  // an outcome is known
  std::deque<Job> jobs_;
  std::map<std::uint64_t, DocumentOutcome> outcomes_;
  std::uint64_t next_number_ = 0;    // the number of the next job queued
  std::uint64_t next_returned_ = 0;  // the number Next returns next
  std::uint64_t generation_ = 0;
  int started_ = 0;
  // Pause and Resume: the pauses ended so far, and the start of this one.
  int pauses_ = 0;  // Pause calls not yet resumed
  std::chrono::steady_clock::duration paused_ = {};
  std::chrono::steady_clock::time_point paused_at_;
  bool stopping_ = false;
  std::vector<std::unique_ptr<Slot>> slots_;
};

}  // namespace orvane
