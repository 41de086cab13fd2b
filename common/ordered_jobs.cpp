// The pool of OrderedJobs.
#include "ordered_jobs.h"

#include <algorithm>
#include <system_error>

namespace folios {

int DefaultJobCount() {
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxJobs);
}

OrderedJobs::OrderedJobs(size_t count, int threads, size_t window, std::function<void(size_t)> job)
    : count_(count), window_(std::max<size_t>(window, 1)), job_(std::move(job)), done_(count, 0) {
  if (threads < 2 || count < 2) return;
  const int wanted = std::min(threads, kMaxJobs);
  for (int i = 0; i < wanted; ++i) {
    try {
      threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      break;  // fewer threads do the same work
    }
  }
}

OrderedJobs::~OrderedJobs() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void OrderedJobs::Work() {
  for (;;) {
    size_t i;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return stop_ || next_ >= count_ || next_ < taken_ + window_; });
      if (stop_ || next_ >= count_) return;
      i = next_++;
    }
    job_(i);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_[i] = 1;
    }
    changed_.notify_all();
  }
}

void OrderedJobs::Take(size_t i) {
  if (threads_.empty()) {
    job_(i);
    return;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  taken_ = i;  // the jobs before i are the caller's now: the window moves on
  changed_.notify_all();
  changed_.wait(lock, [&] { return done_[i] != 0; });
}

}  // namespace folios
