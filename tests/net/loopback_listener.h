#pragma once

#include <string>

// A socket listening on a free port of the loopback address, for a test or benchmark whose
// server answers only as it says, or never. Closed when the object goes.
namespace kv::test {

class LoopbackListener {
 public:
  // `backlog`: how many connections the system completes before the listener accepts one.
  explicit LoopbackListener(int backlog);
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  int Socket() const { return socket_; }
  // "http://127.0.0.1:<port>"
  std::string BaseUrl() const;
  // A socket of the caller's (who closes it) whose connection to the listener has been asked
  // for, without waiting for it.
  int ConnectWithoutWaiting() const;

 private:
  int socket_ = -1;
  int port_ = 0;
};

}  // namespace kv::test
