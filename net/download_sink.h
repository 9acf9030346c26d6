#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// How the download engine reports: what a progress window shows, or a terminal's progress
// line. Several files are under way at once: the name and size shown are those of the file
// whose answer began last, the counter and the progress cover the whole run. The engine's
// worker thread makes every call except OnSpeed, which comes from its speed ticker; an
// implementation that shares state between the two guards it.
namespace kv {

enum class DownloadResult {
  Completed = 1,  // every planned file is in place
  Cancelled = 2,  // the player cancelled; partial files stay for the next attempt
  Failed = 3,     // one file kept failing; the reason names it
};

// Which step of a file failed.
enum class DownloadStep {
  Download,  // the file kept failing to arrive
  Unpack,    // the archive arrived but could not be unpacked; it is removed for the next run
};

struct DownloadOutcome {
  DownloadResult result = DownloadResult::Completed;
  std::string failedName;  // Failed: the file that kept failing
  std::string reason;      // Failed: its last failure
  DownloadStep step = DownloadStep::Download;
};

class DownloadSink {
 public:
  virtual ~DownloadSink() = default;
  // `done` of the run's `count` files are in place (0 of them when the run starts).
  virtual void OnFileIndex(int done, int count) = 0;
  // A file's answer has begun (or its partial file turned out complete): its name and size
  // (-1 when neither the plan nor the server tells it).
  virtual void OnFileInfo(const std::string& name, std::int64_t size) = 0;
  // KiB in place over KiB planned for the whole run, partial files of earlier runs included.
  // The planned total grows while files of unknown size announce theirs; at the end of a
  // complete run the two are equal.
  virtual void OnProgress(std::int64_t receivedKiB, std::int64_t totalKiB) = 0;
  // Bytes a second received by all transfers together over the last second (over the time
  // since the start, in the first second); reported a few times a second.
  virtual void OnSpeed(std::int64_t bytesLastSecond) = 0;
  // The file failed (`failures` times in a row without progress) and is tried again after
  // `delay`.
  virtual void OnRetrying(const std::string& name, int failures, std::chrono::milliseconds delay,
                          const std::string& reason) = 0;
  // Everything has ended: the last unpacking and the ticker too. The last call.
  virtual void OnFinished(const DownloadOutcome& outcome) = 0;
};

}  // namespace kv
