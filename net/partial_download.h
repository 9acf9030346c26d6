#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "net/download_item.h"

// One attempt at one planned file: the body goes to a partial file (the path + ".tmp") that
// grows over attempts, each resuming where the last stopped, and gets the final name once it
// holds exactly the planned size (or, when the plan has none, what the server announced) and
// matches the planned SHA-1.
namespace kv {

struct AttemptResult {
  enum class Kind {
    InPlace,    // the file has its final name
    Failed,     // try again later; the partial file keeps what arrived
    StartOver,  // the partial file cannot be continued and was removed: try again at once
    Cancelled,
  };
  Kind kind = Kind::Failed;
  std::string reason;  // Failed and StartOver: why
  bool grew = false;   // the partial file is longer than before the attempt
};

// The callbacks of an attempt, called on its thread.
struct AttemptReporter {
  std::function<void(std::int64_t remoteSize)> started;  // once the size is known
  std::function<void(std::int64_t receivedKiB, std::int64_t totalKiB)> progress;
  std::function<void(std::size_t bytes)> received;       // every block written
};

std::string PartialPath(const DownloadItem& item);

// Fetches `item` from `url`, one of its addresses.
AttemptResult AttemptDownload(const DownloadItem& item, const std::string& url, const std::atomic<bool>& cancel,
                              const AttemptReporter& reporter, long stallSeconds);

}  // namespace kv
