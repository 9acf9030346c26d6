#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "net/curl_multi.h"
#include "net/download_item.h"
#include "net/download_sink.h"

// Fetches a download plan, several files at once over shared connections, each into a
// resumable partial file. Archives are handed to the after-download step on one unpacking
// thread once they are complete; the speed is reported a few times a second. A failing file is tried
// again with growing pauses while the others go on; a file that fails too often in a row
// without progress, or that cannot be written at all, stops the whole run with its reason.
namespace kv {

// How many files are fetched at once: the player's choice is kept within these bounds.
inline constexpr int kMinTransfers = 1;
inline constexpr int kMaxTransfers = 64;
inline constexpr int kDefaultTransfers = 16;

struct DownloadOptions {
  int transfers = kDefaultTransfers;        // files at once, from kMinTransfers to kMaxTransfers
  std::chrono::milliseconds firstRetryDelay{500};
  std::chrono::milliseconds longestRetryDelay{10000};
  int failuresBeforeGivingUp = 8;           // in a row, for one file, without progress
  std::chrono::milliseconds tickInterval{250};      // how often the speed is reported
  std::chrono::milliseconds progressInterval{100};  // the run's progress at most this often
  long stallSeconds = 30;                   // a transfer receiving nothing this long fails
};

// The pause before the next attempt after `failures` failures in a row (from 1): the first
// delay, doubled for each further failure, at most the longest delay.
std::chrono::milliseconds RetryDelay(int failures, const DownloadOptions& options);

// What becomes of a file marked as an archive once it is in place (the caller unpacks it). Runs
// on the engine's unpacking thread, one archive at a time, in the order of the plan; archives
// that are in place when a run is cancelled or fails are unpacked too. A failure fails the run
// (DownloadStep::Unpack) once the downloads have ended; the first one is reported.
using AfterDownload = std::function<Status(const DownloadItem& item)>;

class DownloadEngine {
 public:
  DownloadEngine(std::vector<DownloadItem> plan, DownloadSink& sink, DownloadOptions options = {},
                 AfterDownload afterDownload = {}, ContentCheck contentCheck = {});
  // Cancels a run that is still going and waits for it.
  ~DownloadEngine();
  DownloadEngine(const DownloadEngine&) = delete;
  DownloadEngine& operator=(const DownloadEngine&) = delete;

  // Starts the worker, the ticker and the unpacker and returns; the sink's OnFinished ends the run.
  void Start();
  // Waits for the run started by Start() to end.
  DownloadOutcome Wait();
  // Start() and Wait().
  DownloadOutcome Run();

  // From any thread: the transfers stop at once, their partial files stay, no further file
  // starts; unpacking still finishes.
  void Cancel();

 private:
  // The state of one run: what waits, what runs, what is done.
  class Scheduler;

  void Work();
  void Tick();
  void Unpack();
  // The item at `index` is in place now (the unpacker waits for archives).
  void SettleInPlace(std::size_t index);
  // The items not in place by now will not be this run.
  void SettleTheRest();

  const std::vector<DownloadItem> plan_;
  DownloadSink& sink_;
  const DownloadOptions options_;
  const AfterDownload afterDownload_;
  const ContentCheck contentCheck_;

  net::CurlMulti multi_;
  std::atomic<bool> cancel_{false};
  std::atomic<std::int64_t> bytesThisTick_{0};
  DownloadOutcome outcome_;

  std::mutex mutex_;
  std::condition_variable tickerWake_;    // the end of the run
  bool tickerStop_ = false;
  std::condition_variable unpackerWake_;  // an archive settled
  enum class Settled { Not, InPlace, Abandoned };
  std::vector<Settled> settled_;  // per item (archives only), guarded by mutex_
  std::optional<DownloadOutcome> unpackFailure_;  // the first; written by the unpacker before it ends

  std::thread worker_;
  std::thread ticker_;
  std::thread unpacker_;
};

}  // namespace kv
