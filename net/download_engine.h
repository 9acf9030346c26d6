#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "net/download_item.h"
#include "net/download_sink.h"

// Fetches a download plan: one file after the other into resumable partial files, each
// archive handed to the after-download step on one unpacking thread while the next file
// downloads, the speed reported once a second. Failing files are tried again with growing pauses; a file that fails too
// often in a row without progress stops the whole run with its reason.
namespace kv {

struct DownloadOptions {
  std::chrono::milliseconds firstRetryDelay{500};
  std::chrono::milliseconds longestRetryDelay{10000};
  int failuresBeforeGivingUp = 8;           // in a row, for one file, without progress
  std::chrono::milliseconds tickInterval{1000};
  long stallSeconds = 30;                   // a transfer receiving nothing this long fails
};

// The pause before the next attempt after `failures` failures in a row (from 1): the first
// delay, doubled for each further failure, at most the longest delay.
std::chrono::milliseconds RetryDelay(int failures, const DownloadOptions& options);

// What becomes of a file marked as an archive once it is in place (the caller unpacks it). Runs
// on the engine's unpacking thread, one archive at a time, in the order of the plan.
using AfterDownload = std::function<void(const DownloadItem& item)>;

class DownloadEngine {
 public:
  DownloadEngine(std::vector<DownloadItem> plan, DownloadSink& sink, DownloadOptions options = {},
                 AfterDownload afterDownload = {});
  // Cancels a run that is still going and waits for it.
  ~DownloadEngine();
  DownloadEngine(const DownloadEngine&) = delete;
  DownloadEngine& operator=(const DownloadEngine&) = delete;

  // Starts the worker and the ticker and returns; the sink's OnFinished ends the run.
  void Start();
  // Waits for the run started by Start() to end.
  DownloadOutcome Wait();
  // Start() and Wait().
  DownloadOutcome Run();

  // From any thread: the current transfer stops at once, its partial file stays, no further
  // file starts; a running unpacking still finishes.
  void Cancel();

 private:
  void Work();
  void Tick();
  // Fetches one item, trying again as long as the options allow; false when the run stops.
  bool Fetch(const DownloadItem& item, int position);
  void Unpack(const DownloadItem& item);
  // Sleeps `delay` unless cancelled first; false when cancelled.
  bool PauseUnlessCancelled(std::chrono::milliseconds delay);

  const std::vector<DownloadItem> plan_;
  DownloadSink& sink_;
  const DownloadOptions options_;
  const AfterDownload afterDownload_;

  std::atomic<bool> cancel_{false};
  std::atomic<std::int64_t> bytesThisTick_{0};
  DownloadOutcome outcome_;

  std::mutex mutex_;
  std::condition_variable wake_;  // cancel, and the end of the run for the ticker
  bool tickerStop_ = false;

  std::thread worker_;
  std::thread ticker_;
  std::thread unpacker_;
};

}  // namespace kv
