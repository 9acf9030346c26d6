#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "net/download_engine.h"

// What the download engine tests share.
namespace kv::test {

// Remembers what the engine reported; hooks let a test act at a given moment.
class RecordingSink : public DownloadSink {
 public:
  void OnFileIndex(int inPlace, int of) override {
    std::lock_guard lock(mutex_);
    done.push_back(inPlace);
    count = of;
  }
  void OnFileInfo(const std::string& name, std::int64_t size) override {
    std::lock_guard lock(mutex_);
    infos.emplace_back(name, size);
  }
  void OnProgress(std::int64_t receivedKiB, std::int64_t totalKiB) override {
    {
      std::lock_guard lock(mutex_);
      progress = {receivedKiB, totalKiB};
    }
    if (onProgress) onProgress(receivedKiB, totalKiB);
  }
  void OnSpeed(std::int64_t) override {}
  void OnRetrying(const std::string& name, int failures, std::chrono::milliseconds delay,
                  const std::string& reason) override {
    {
      std::lock_guard lock(mutex_);
      retries.push_back({name, failures, delay, reason});
    }
    if (onRetrying) onRetrying();
  }
  void OnFinished(const DownloadOutcome& outcome) override {
    std::lock_guard lock(mutex_);
    ++finished;
    finalResult = outcome.result;
  }

  struct Retry {
    std::string name;
    int failures;
    std::chrono::milliseconds delay;
    std::string reason;
  };
  std::vector<int> done;  // the counter's values, in order
  int count = 0;
  std::pair<std::int64_t, std::int64_t> progress{-1, -1};  // the last KiB in place and planned
  std::vector<std::pair<std::string, std::int64_t>> infos;
  std::vector<Retry> retries;
  int finished = 0;
  DownloadResult finalResult = DownloadResult::Completed;
  std::function<void(std::int64_t, std::int64_t)> onProgress;
  std::function<void()> onRetrying;

 private:
  std::mutex mutex_;
};

// Short pauses, so that retries do not slow the tests down.
DownloadOptions FastRetries();

}  // namespace kv::test
