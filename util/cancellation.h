#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

// A request to stop that long work checks: between steps, while it waits, and (through the
// flag) inside a transfer. Any thread may cancel; the work notices at once.
namespace kv {

class Cancellation {
 public:
  void Cancel() {
    {
      std::lock_guard lock(mutex_);
      cancelled_.store(true);
    }
    changed_.notify_all();
  }
  bool Cancelled() const { return cancelled_.load(); }
  // For transfers that take an abandon flag.
  const std::atomic<bool>* Flag() const { return &cancelled_; }

  // Waits `duration` unless cancelled first; true when the whole time passed uncancelled.
  bool WaitFor(std::chrono::milliseconds duration) const {
    std::unique_lock lock(mutex_);
    return !changed_.wait_for(lock, duration, [this] { return cancelled_.load(); });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::atomic<bool> cancelled_{false};
};

}  // namespace kv
