#include "engine/reading/reader_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "engine/common/program_folder.h"
#include "engine/reading/reader_protocol.h"

extern char** environ;

namespace orvane {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kReceiveBufferSize = 256 * 1024;
// How often a worker's thread looks whether its document is still wanted.
constexpr std::chrono::milliseconds kStaleCheckInterval{100};

// A worker that a signal ended after its resident memory came this close to
// the limit ran out of memory: the libraries abort where an allocation
// fails.
constexpr double kNearMemoryLimit = 0.75;

bool SendAll(int socket, std::string_view bytes) {
  while (!bytes.empty()) {
    // MSG_NOSIGNAL: a worker that has ended must not end the program.
    ssize_t sent = send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

}  // namespace

std::filesystem::path ReaderProgramPath() {
  return ProgramHelperPath(kReaderProgramName);
}

ReaderPool::ReaderPool(ReaderPoolOptions options)
    : options_(std::move(options)) {
  int count = options_.workers;
  if (count <= 0) count = static_cast<int>(std::thread::hardware_concurrency());
  count = std::max(count, 1);
  for (int i = 0; i < count; ++i) {
    slots_.push_back(std::make_unique<Slot>());
  }
  for (auto& slot : slots_) {
    slot->thread = std::thread(&ReaderPool::SlotLoop, this, slot.get());
  }
}

ReaderPool::~ReaderPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    ++generation_;
    jobs_.clear();
    for (auto& slot : slots_) {
      if (slot->busy && slot->running) kill(slot->pid, SIGKILL);
    }
  }
  work_.notify_all();
  for (auto& slot : slots_) slot->thread.join();
}

void ReaderPool::Queue(std::string path) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(Job{next_number_++, generation_, std::move(path)});
  }
  work_.notify_one();
}

std::size_t ReaderPool::pending() const {
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(next_number_ - next_returned_);
}

int ReaderPool::workers_started() const {
  std::lock_guard lock(mutex_);
  return started_;
}

std::optional<DocumentOutcome> ReaderPool::Next(
    const KeepWaiting& keep_waiting) {
  std::unique_lock lock(mutex_);
  // The question is due by the clock, not by wake-ups: outcomes of later
  // documents arriving often must not keep it from being asked.
  Clock::time_point ask_at = Clock::now() + kKeepWaitingInterval;
  while (next_returned_ < next_number_) {
    auto found = outcomes_.find(next_returned_);
    if (found != outcomes_.end()) {
      DocumentOutcome outcome = std::move(found->second);
      outcomes_.erase(found);
      ++next_returned_;
      return outcome;
    }
    finished_.wait_until(lock, ask_at);
    if (outcomes_.count(next_returned_) != 0 || Clock::now() < ask_at) {
      continue;
    }
    // The caller's check may let the window system run, and a click there
    // may queue or cancel: it runs without the lock.
    lock.unlock();
    bool go_on = keep_waiting();
    if (!go_on) {
      Cancel();
      return std::nullopt;
    }
    lock.lock();
    ask_at = Clock::now() + kKeepWaitingInterval;
  }
  return std::nullopt;
}

void ReaderPool::Cancel() {
  std::lock_guard lock(mutex_);
  ++generation_;
  jobs_.clear();
  outcomes_.clear();
  next_returned_ = next_number_;
  for (auto& slot : slots_) {
    if (slot->busy && slot->running) kill(slot->pid, SIGKILL);
  }
}

void ReaderPool::Pause() {
  std::lock_guard lock(mutex_);
  if (pauses_++ == 0) paused_at_ = Clock::now();
}

void ReaderPool::Resume() {
  std::lock_guard lock(mutex_);
  if (pauses_ == 0) return;
  if (--pauses_ == 0) paused_ += Clock::now() - paused_at_;
}

Clock::duration ReaderPool::PausedTime(bool* paused) const {
  std::lock_guard lock(mutex_);
  *paused = pauses_ > 0;
  return paused_ + (*paused ? Clock::now() - paused_at_ : Clock::duration{});
}

void ReaderPool::SlotLoop(Slot* slot) {
  std::unique_lock lock(mutex_);
  while (true) {
    work_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (stopping_) break;
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    slot->busy = true;
    lock.unlock();
    DocumentOutcome outcome = Read(slot, job);
    lock.lock();
    slot->busy = false;
    if (job.generation == generation_) {
      outcomes_.emplace(job.number, std::move(outcome));
      finished_.notify_all();
    }
  }
  lock.unlock();
  if (slot->socket >= 0) Reap(slot, /*end=*/true);
}

bool ReaderPool::Start(Slot* slot, std::string* reason) {
  int sockets[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
    *reason =
        std::string("the reader cannot be started: ") + std::strerror(errno);
    return false;
  }
  // The worker reads its requests on standard input and answers on
  // standard output, both the one socket; what the libraries print on
  // standard error is of no use to the user.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, sockets[1], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, sockets[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null",
                                   O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);

  std::string program = options_.program.string();
  std::string memory = std::to_string(options_.limits.memory_bytes);
  std::string text = std::to_string(options_.limits.text_bytes);
  std::vector<char*> argv = {
      program.data(), const_cast<char*>("--memory-limit"),
      memory.data(),  const_cast<char*>("--text-limit"),
      text.data(),    nullptr};
  pid_t pid = -1;
  int failed = posix_spawn(&pid, program.c_str(), &actions, &attributes,
                           argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(sockets[1]);
  if (failed != 0) {
    close(sockets[0]);
    *reason = "the reader cannot be started: " + program + ": " +
              std::strerror(failed);
    return false;
  }
  slot->socket = sockets[0];
  std::lock_guard lock(mutex_);
  slot->pid = pid;
  slot->running = true;
  ++started_;
  return true;
}

std::string ReaderPool::Reap(Slot* slot, bool end) {
  pid_t pid;
  {
    // Once running is cleared, Cancel no longer signals the pid, which
    // stays the worker's until it has been waited for.
    std::lock_guard lock(mutex_);
    pid = slot->pid;
    slot->running = false;
  }
  if (end) kill(pid, SIGKILL);
  close(slot->socket);
  slot->socket = -1;
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status)) {
    int signal_number = WTERMSIG(status);
    double peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
    if (signal_number != SIGKILL &&
        peak >= kNearMemoryLimit *
                    static_cast<double>(options_.limits.memory_bytes)) {
      return "needed more than " + ByteLimitText(options_.limits.memory_bytes);
    }
    return "the reader stopped (signal " + std::to_string(signal_number) + ")";
  }
  return "the reader stopped (exit status " +
         std::to_string(WEXITSTATUS(status)) + ")";
}

bool ReaderPool::Stale(const Job& job) const {
  std::lock_guard lock(mutex_);
  return job.generation != generation_;
}

DocumentOutcome ReaderPool::Read(Slot* slot, const Job& job) {
  DocumentOutcome outcome;
  outcome.path = job.path;
  std::string request = job.path;
  request.push_back('\0');
  // A worker may have ended while it waited (a signal from outside): the
  // request then fails, and one new worker is given it.
  for (int attempt = 0;; ++attempt) {
    if (slot->socket < 0 && !Start(slot, &outcome.reason)) return outcome;
    if (SendAll(slot->socket, request)) break;
    std::string ended = Reap(slot, /*end=*/true);
    if (attempt > 0) {
      outcome.reason = ended;
      return outcome;
    }
  }
  const ReaderLimits& limits = options_.limits;
  // The deadline moves on by the time the pool is paused meanwhile.
  bool paused = false;
  const Clock::time_point requested = Clock::now() - PausedTime(&paused);
  AnswerParser parser(limits.text_bytes);
  std::vector<char> buffer(kReceiveBufferSize);
  while (true) {
    const Clock::duration used = Clock::now() - PausedTime(&paused) - requested;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(limits.time - used);
    if (paused) left = std::max(left, kStaleCheckInterval);
    if (left.count() <= 0) {
      Reap(slot, /*end=*/true);
      outcome.reason = "took longer than " + DurationLimitText(limits.time);
      return outcome;
    }
    pollfd wait_for{slot->socket, POLLIN, 0};
    int ready = poll(&wait_for, 1,
                     static_cast<int>(std::min<long long>(
                         left.count(), kStaleCheckInterval.count())));
    if (ready <= 0) {
      // Cancel ends a busy worker itself; this catches one that was being
      // started just then.
      if (Stale(job)) {
        Reap(slot, /*end=*/true);
        return outcome;
      }
      continue;
    }
    ssize_t got = recv(slot->socket, buffer.data(), buffer.size(), 0);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) {
      outcome.reason = Reap(slot, /*end=*/false);
      return outcome;
    }
    switch (parser.Feed(
        std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
      case AnswerParser::State::kReading:
        continue;
      case AnswerParser::State::kDone:
        outcome.text = std::move(parser.text());
        return outcome;
      case AnswerParser::State::kFailed:
        outcome.reason =
            FailureReason(parser.failure(), parser.detail(), limits);
        // A worker that ran out of memory ends itself; one whose answer
        // said otherwise stays.
        if (parser.failure() == WireFailure::kOutOfMemory) {
          Reap(slot, /*end=*/true);
        }
        return outcome;
      case AnswerParser::State::kBroken:
        Reap(slot, /*end=*/true);
        outcome.reason =
            "the reader's answer was damaged: " + parser.broken_because();
        return outcome;
    }
  }
}

}  // namespace orvane
