#pragma once

#include <curl/curl.h>

#include <atomic>
#include <mutex>
#include <vector>

// Transfers that another thread can abandon: work that runs behind the player's back (a check
// for newer documents) must end at once when the program does, even while a server keeps it
// waiting.
namespace kv {

namespace net {
class CurlMulti;
}

class AbandonableTransfers {
 public:
  AbandonableTransfers() = default;
  AbandonableTransfers(const AbandonableTransfers&) = delete;
  AbandonableTransfers& operator=(const AbandonableTransfers&) = delete;

  // While a Scope is open on a thread, every transfer that thread runs through this folder's
  // calls is watched by `transfers` (by none for null). A thread that works for another opens
  // one with the other's OfThisThread().
  class Scope {
   public:
    explicit Scope(AbandonableTransfers* transfers);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    AbandonableTransfers* previous_;
  };

  // From any thread: the watched transfer under way fails at once, and every later one fails
  // before it sends anything.
  void Abandon();
  bool Abandoned() const { return abandoned_.load(); }

  // What watches the calling thread's transfers: null when no scope is open on it.
  static AbandonableTransfers* OfThisThread();

  // For the transfer plumbing: runs `easy` on the calling thread, watched by the scope open on
  // it (curl_easy_perform when there is none), and returns libcurl's result.
  static CURLcode Perform(CURL* easy);

 private:
  CURLcode PerformWatched(CURL* easy);

  std::atomic<bool> abandoned_{false};
  std::mutex mutex_;
  std::vector<net::CurlMulti*> running_;  // the transfers under way (on several threads), to wake
};

}  // namespace kv
