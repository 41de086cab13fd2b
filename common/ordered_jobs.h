// Jobs run ahead on a few threads and taken back in their order: the pool
// the builds use where each file's work is independent but what they write
// must follow the list.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace folios {

// The most jobs run at once. Each may hold two temporary files at a time,
// and the signal handler that removes them has room for 64.
inline constexpr int kMaxJobs = 32;

// One job per processor core, within 1..kMaxJobs.
int DefaultJobCount();

class OrderedJobs {
 public:
  // Runs `job(i)` for i = 0, 1, ..., count - 1, in that order, on up to
  // `threads` threads, never starting a job more than `window` places ahead
  // of the one taken last, so that what finished jobs hold stays bounded.
  // With `threads` below 2, or when no thread can be started, nothing runs
  // ahead: Take runs each job on the caller's thread.
  // REQUIRES: `job` does not throw, and may run on several threads at once.
  OrderedJobs(size_t count, int threads, size_t window, std::function<void(size_t)> job);
  OrderedJobs(const OrderedJobs&) = delete;
  OrderedJobs& operator=(const OrderedJobs&) = delete;
  // Jobs not yet started are not run; those running are waited for.
  ~OrderedJobs();

  // Returns once job i has run. REQUIRES: called for 0, 1, 2, ... in turn.
  void Take(size_t i);

  // The threads that run ahead (0 when the jobs run in Take).
  int threads() const { return static_cast<int>(threads_.size()); }

 private:
  void Work();

  const size_t count_;
  const size_t window_;
  std::function<void(size_t)> job_;
  std::mutex mutex_;
  std::condition_variable changed_;
  size_t next_ = 0;          // the next job to start
  size_t taken_ = 0;         // jobs before this one have been taken
  bool stop_ = false;
  std::vector<char> done_;
  std::vector<std::thread> threads_;
};

}  // namespace folios
