// Judging the files of a folder on two threads. Most of the counting pass
// goes into looking at files (a stat, the text check), which depends on
// nothing but the file and the rules; the calling thread and a helper each
// take the next file not yet taken, and the verdicts are taken on the
// calling thread in the files' order as they arrive, so that every call to
// the ports is made there, in the order a single thread would make it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace orvane {

template <class Verdict>
class FileJudges {
 public:
  FileJudges() = default;
  // Ends the helper.
  ~FileJudges() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      quit_ = true;
    }
    changed_.notify_all();
    if (helper_.joinable()) helper_.join();
  }
  FileJudges(const FileJudges&) = delete;
  FileJudges& operator=(const FileJudges&) = delete;

  // Calls judge(i) for the files i = 0 to n - 1, here and on the helper,
  // and take(verdict, i) here for i = 0, 1, ... in order; take returns
  // false to stop, and no later verdict is taken. judge must be safe to run
  // on two threads at once. An exception of judge reaches the caller when
  // its verdict is due.
  template <class JudgeFn, class TakeFn>
  void Judge(std::size_t n, JudgeFn judge, TakeFn take) {
    if (n < kMinFilesToShare || !StartHelper()) {
      for (std::size_t i = 0; i < n; ++i) {
        if (!take(judge(i), i)) return;
      }
      return;
    }
    std::vector<Verdict> verdicts(n);
    std::vector<std::exception_ptr> failures(n);
    std::unique_ptr<std::atomic<int>[]> done(new std::atomic<int>[n]);
    for (std::size_t i = 0; i < n; ++i) done[i].store(0, std::memory_order_relaxed);
    std::atomic<std::size_t> next{0};
    auto work = [&](std::size_t i) {
      try {
        verdicts[i] = judge(i);
      } catch (...) {
        failures[i] = std::current_exception();
      }
      done[i].store(1, std::memory_order_release);
      done[i].notify_all();
    };
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job_ = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < n;) work(i);
      };
      busy_ = true;
      ++generation_;
    }
    changed_.notify_all();
    // Whatever way this call ends, the helper is done with its files (and
    // with the locals above) first.
    struct Settle {
      FileJudges* judges;
      std::atomic<std::size_t>* next;
      std::size_t n;
      ~Settle() {
        next->store(n);
        std::unique_lock<std::mutex> lock(judges->mutex_);
        judges->idle_.wait(lock, [this] { return !judges->busy_; });
      }
    } settle{this, &next, n};
    for (std::size_t i = 0; i < n; ++i) {
      while (done[i].load(std::memory_order_acquire) == 0) {
        std::size_t j = next.fetch_add(1);
        if (j < n) {
          work(j);
        } else {
          done[i].wait(0, std::memory_order_acquire);
        }
      }
      if (failures[i]) std::rethrow_exception(failures[i]);
      if (!take(verdicts[i], i)) return;
    }
  }

 private:
  // A folder of fewer files is judged here alone.
  static constexpr std::size_t kMinFilesToShare = 16;

  bool StartHelper() {
    if (helper_.joinable()) return true;
    if (no_helper_) return false;
    try {
      helper_ = std::thread([this] { Serve(); });
      return true;
    } catch (const std::system_error&) {
      no_helper_ = true;  // no thread to be had: every file is judged here
      return false;
    }
  }

  void Serve() {
    std::uint64_t served = 0;
    while (true) {
      std::function<void()> job;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return quit_ || generation_ != served; });
        if (quit_) return;
        served = generation_;
        job = job_;
      }
      job();
      {
        std::lock_guard<std::mutex> lock(mutex_);
        busy_ = false;
      }
      idle_.notify_all();
    }
  }

  std::thread helper_;
  bool no_helper_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::condition_variable idle_;
  std::function<void()> job_;
  std::uint64_t generation_ = 0;
  bool busy_ = false;
  bool quit_ = false;
};

}  // namespace orvane
