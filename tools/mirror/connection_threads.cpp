#include "tools/mirror/connection_threads.h"

#include <thread>

namespace kv::mirror {

void ConnectionThreads::enqueue(std::function<void()> connection) {
  {
    std::lock_guard lock(mutex_);
    ++running_;
  }
  std::thread([this, connection = std::move(connection)] {
    connection();
    std::lock_guard lock(mutex_);
    --running_;
    idle_.notify_all();
  }).detach();
}

void ConnectionThreads::shutdown() {
  std::unique_lock lock(mutex_);
  idle_.wait_for(lock, std::chrono::milliseconds(200), [this] { return running_ == 0; });
}

}  // namespace kv::mirror
