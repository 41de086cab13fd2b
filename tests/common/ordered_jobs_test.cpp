// The pool that runs jobs ahead and hands them back in order.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "ordered_jobs.h"

namespace folios {
namespace {

// Records, for every job, how often it ran and how far ahead of the job
// taken last it started.
struct Log {
  std::mutex mutex;
  std::vector<int> runs;
  size_t taken = 0;  // jobs before this one are taken
  size_t most_ahead = 0;
  explicit Log(size_t n) : runs(n, 0) {}
  void Ran(size_t i) {
    std::lock_guard<std::mutex> lock(mutex);
    ++runs[i];
    most_ahead = std::max(most_ahead, i - std::min(i, taken));
  }
};

TEST(OrderedJobs, EveryJobRunsOnceAndIsTakenInOrder) {
  for (int threads : {1, 2, 4}) {
    const size_t count = 200;
    Log log(count);
    std::vector<size_t> results(count, 0);
    OrderedJobs jobs(count, threads, 3, [&](size_t i) {
      // Later jobs finish first, so taking in order must wait.
      std::this_thread::sleep_for(std::chrono::microseconds((count - i) % 7 * 50));
      results[i] = i * i;
      log.Ran(i);
    });
    for (size_t i = 0; i < count; ++i) {
      {
        std::lock_guard<std::mutex> lock(log.mutex);
        log.taken = i;
      }
      jobs.Take(i);
      ASSERT_EQ(results[i], i * i) << threads << " threads, job " << i;
    }
    for (size_t i = 0; i < count; ++i) EXPECT_EQ(log.runs[i], 1) << threads << " threads, job " << i;
    // A job starts no further ahead than the window allows.
    EXPECT_LE(log.most_ahead, 2u) << threads << " threads";
  }
}

TEST(OrderedJobs, OneThreadRunsEachJobWhenItIsTaken) {
  std::thread::id caller = std::this_thread::get_id();
  std::vector<std::thread::id> ran_on(5);
  int ran = 0;
  OrderedJobs jobs(5, 1, 8, [&](size_t i) {
    ran_on[i] = std::this_thread::get_id();
    ++ran;
  });
  EXPECT_EQ(jobs.threads(), 0);
  EXPECT_EQ(ran, 0);  // nothing runs ahead
  jobs.Take(0);
  jobs.Take(1);
  EXPECT_EQ(ran, 2);
  EXPECT_EQ(ran_on[0], caller);
  EXPECT_EQ(ran_on[1], caller);
}

TEST(OrderedJobs, StoppingEarlyRunsNoMoreThanTheWindow) {
  std::atomic<int> ran{0};
  {
    OrderedJobs jobs(1000, 4, 4, [&](size_t) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      ++ran;
    });
    EXPECT_EQ(jobs.threads(), 4);
    jobs.Take(0);
    jobs.Take(1);
    // Dropped here, as a cancelled build drops it: the running jobs end,
    // the others never start.
  }
  EXPECT_GE(ran.load(), 2);
  EXPECT_LE(ran.load(), 2 + 4);
}

TEST(OrderedJobs, NoJobsAndOneJob) {
  { OrderedJobs none(0, 4, 4, [](size_t) { FAIL() << "no job to run"; }); }
  int ran = 0;
  OrderedJobs one(1, 4, 4, [&](size_t) { ++ran; });
  one.Take(0);
  EXPECT_EQ(ran, 1);
}

TEST(OrderedJobs, DefaultCountIsWithinTheLimit) {
  EXPECT_GE(DefaultJobCount(), 1);
  EXPECT_LE(DefaultJobCount(), kMaxJobs);
}

}  // namespace
}  // namespace folios
