#include "net/abandonable_transfers.h"

#include <algorithm>
#include <chrono>

#include "net/curl_multi.h"

namespace kv {
namespace {

thread_local AbandonableTransfers* tWatching = nullptr;

// How long a watched transfer waits for its sockets before it looks again; Abandon() wakes it
// at once anyway.
constexpr std::chrono::milliseconds kPollInterval{1000};

}  // namespace

AbandonableTransfers::Scope::Scope(AbandonableTransfers* transfers) : previous_(tWatching) { tWatching = transfers; }

AbandonableTransfers::Scope::~Scope() { tWatching = previous_; }

AbandonableTransfers* AbandonableTransfers::OfThisThread() { return tWatching; }

void AbandonableTransfers::Abandon() {
  abandoned_.store(true);
  std::lock_guard lock(mutex_);
  for (net::CurlMulti* multi : running_) multi->Wakeup();
}

CURLcode AbandonableTransfers::Perform(CURL* easy) {
  return tWatching != nullptr ? tWatching->PerformWatched(easy) : curl_easy_perform(easy);
}

CURLcode AbandonableTransfers::PerformWatched(CURL* easy) {
  // The easy interface cannot be woken from another thread; a multi handle of its own can.
  net::CurlMulti multi;
  if (!multi || !multi.Add(easy)) return CURLE_FAILED_INIT;
  {
    std::lock_guard lock(mutex_);
    running_.push_back(&multi);
  }
  CURLcode result = CURLE_ABORTED_BY_CALLBACK;
  // The flag is looked at before every step, so nothing more is received once it is set.
  while (!abandoned_.load()) {
    multi.Perform();
    CURL* ended = nullptr;
    if (multi.NextEnded(ended, result)) break;
    multi.Wait(kPollInterval);
  }
  {
    std::lock_guard lock(mutex_);
    running_.erase(std::find(running_.begin(), running_.end(), &multi));
  }
  multi.Remove(easy);
  return result;
}

}  // namespace kv
