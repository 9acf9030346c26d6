#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

// One thread per client connection, so that any number of clients (each holding a kept-alive
// connection) is served at once; the library's own queue would make the ninth client wait.
namespace kv::mirror {

class ConnectionThreads : public httplib::TaskQueue {
 public:
  void enqueue(std::function<void()> connection) override;
  // Waits a moment for the running connections to end. Kept-alive idle connections may
  // outlive it; the server process ends without waiting for them.
  void shutdown() override;

 private:
  std::mutex mutex_;
  std::condition_variable idle_;
  int running_ = 0;
};

}  // namespace kv::mirror
