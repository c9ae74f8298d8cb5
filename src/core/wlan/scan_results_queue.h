// A hand-over point for "scan results ready" between the service's notification thread and a thread that runs
// its own loop (the command line; the window uses a queued call instead). Post may be called from any thread;
// the owning thread waits and takes the posts, then refreshes the model itself.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>

namespace skimlet {

class TScanResultsQueue {
 public:
  using Clock = std::chrono::steady_clock;

  void Post() {
    {
      std::lock_guard<std::mutex> l(lock_);
      ++posted_;
    }
    cv_.notify_all();
  }

  // Waits until something was posted or Deadline passed; returns the number of posts taken (0 on time-out).
  size_t WaitAndTake(Clock::time_point deadline) {
    std::unique_lock<std::mutex> l(lock_);
    cv_.wait_until(l, deadline, [this] { return posted_ > 0; });
    size_t n = posted_;
    posted_ = 0;
    return n;
  }

  // The posts so far, without waiting.
  size_t Take() { return WaitAndTake(Clock::time_point::min()); }

 private:
  std::mutex lock_;
  std::condition_variable cv_;
  size_t posted_ = 0;
};

}  // namespace skimlet
