#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// How the download engine reports: what a progress window shows, or a terminal's progress
// line. The engine's worker thread makes every call except OnSpeed, which comes from its
// once-a-second ticker; an implementation that shares state between the two guards it.
namespace kv {

enum class DownloadResult {
  Completed = 1,  // every planned file is in place
  Cancelled = 2,  // the player cancelled; partial files stay for the next attempt
  Failed = 3,     // one file kept failing; the reason names it
};

struct DownloadOutcome {
  DownloadResult result = DownloadResult::Completed;
  std::string failedName;  // Failed: the file that kept failing
  std::string reason;      // Failed: its last failure
};

class DownloadSink {
 public:
  virtual ~DownloadSink() = default;
  // The file at `position` (from 1) of `count` is being fetched.
  virtual void OnFileIndex(int position, int count) = 0;
  // Its name and the size the mirror announces (-1 when it announces none).
  virtual void OnFileInfo(const std::string& name, std::int64_t size) = 0;
  // KiB of the file in place and expected, counting what an earlier attempt left.
  virtual void OnProgress(std::int64_t receivedKiB, std::int64_t totalKiB) = 0;
  // Bytes received in the last second.
  virtual void OnSpeed(std::int64_t bytesLastSecond) = 0;
  // The file failed (`failures` times in a row without progress) and is tried again after
  // `delay`.
  virtual void OnRetrying(const std::string& name, int failures, std::chrono::milliseconds delay,
                          const std::string& reason) = 0;
  // Everything has ended: the last unpacking and the ticker too. The last call.
  virtual void OnFinished(const DownloadOutcome& outcome) = 0;
};

}  // namespace kv
