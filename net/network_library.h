#pragma once

// libcurl's process-wide state. The program constructs one NetworkLibrary at start-up, before
// any thread transfers, and lets it go at exit, after every transferring thread has ended.
namespace kv {

class NetworkLibrary {
 public:
  NetworkLibrary();
  ~NetworkLibrary();
  NetworkLibrary(const NetworkLibrary&) = delete;
  NetworkLibrary& operator=(const NetworkLibrary&) = delete;

  // False when libcurl could not be initialised; the program then ends.
  bool Ready() const { return ready_; }

 private:
  bool ready_;
};

// Closes the connections that the calling thread keeps open for reuse. Threads that end do
// this by themselves.
void ReleaseThreadConnections();

}  // namespace kv
