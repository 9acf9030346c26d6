#include "net/download_engine.h"

#include "net/partial_download.h"
#include "platform/diagnostic_log.h"

namespace kv {

std::chrono::milliseconds RetryDelay(int failures, const DownloadOptions& options) {
  std::chrono::milliseconds delay = options.firstRetryDelay;
  for (int i = 1; i < failures && delay < options.longestRetryDelay; ++i) delay *= 2;
  return delay < options.longestRetryDelay ? delay : options.longestRetryDelay;
}

DownloadEngine::DownloadEngine(std::vector<DownloadItem> plan, DownloadSink& sink, DownloadOptions options,
                               AfterDownload afterDownload)
    : plan_(std::move(plan)), sink_(sink), options_(options), afterDownload_(std::move(afterDownload)) {}

DownloadEngine::~DownloadEngine() {
  if (worker_.joinable()) {
    Cancel();
    worker_.join();
  }
}

void DownloadEngine::Start() {
  // The ticker runs before the worker so that it sees every byte of the first file.
  ticker_ = std::thread([this] { Tick(); });
  worker_ = std::thread([this] { Work(); });
}

DownloadOutcome DownloadEngine::Wait() {
  if (worker_.joinable()) worker_.join();
  return outcome_;
}

DownloadOutcome DownloadEngine::Run() {
  Start();
  return Wait();
}

void DownloadEngine::Cancel() {
  {
    std::lock_guard lock(mutex_);
    cancel_.store(true);
  }
  wake_.notify_all();
}

void DownloadEngine::Work() {
  const int count = static_cast<int>(plan_.size());
  for (int position = 1; position <= count && !cancel_.load(); ++position) {
    const DownloadItem& item = plan_[static_cast<std::size_t>(position - 1)];
    if (!Fetch(item, position)) break;
    if (item.isArchive && afterDownload_) Unpack(item);
  }
  if (unpacker_.joinable()) unpacker_.join();
  {
    std::lock_guard lock(mutex_);
    tickerStop_ = true;
  }
  wake_.notify_all();
  ticker_.join();
  if (outcome_.result != DownloadResult::Failed && cancel_.load()) outcome_.result = DownloadResult::Cancelled;
  sink_.OnFinished(outcome_);
}

bool DownloadEngine::Fetch(const DownloadItem& item, int position) {
  const int count = static_cast<int>(plan_.size());
  AttemptReporter reporter;
  reporter.started = [&](std::int64_t remoteSize) {
    sink_.OnFileIndex(position, count);
    sink_.OnFileInfo(item.name, remoteSize);
  };
  reporter.progress = [this](std::int64_t receivedKiB, std::int64_t totalKiB) {
    sink_.OnProgress(receivedKiB, totalKiB);
  };
  reporter.received = [this](std::size_t bytes) { bytesThisTick_.fetch_add(static_cast<std::int64_t>(bytes)); };

  if (item.urls.empty()) {
    outcome_ = {DownloadResult::Failed, item.name, "no address to fetch it from"};
    return false;
  }
  int failures = 0;
  std::size_t address = 0;
  while (true) {
    const std::string& url = item.urls[address % item.urls.size()];
    AttemptResult attempt = AttemptDownload(item, url, cancel_, reporter, options_.stallSeconds);
    switch (attempt.kind) {
      case AttemptResult::Kind::InPlace:
        return true;
      case AttemptResult::Kind::Cancelled:
        return false;
      case AttemptResult::Kind::StartOver:
      case AttemptResult::Kind::Failed:
        break;
    }
    // A failure after progress (a dropped connection mid-file) starts a new count: the file
    // is getting there. Failures without progress count up to the limit.
    failures = attempt.grew ? 1 : failures + 1;
    LogLine(LogLevel::Warning, "Download of " + url + " failed: " + attempt.reason);
    if (failures >= options_.failuresBeforeGivingUp) {
      outcome_ = {DownloadResult::Failed, item.name, attempt.reason};
      return false;
    }
    // The next address is tried at once; the pause comes when every address has failed.
    ++address;
    const int addresses = static_cast<int>(item.urls.size());
    const bool wrapped = address % item.urls.size() == 0;
    std::chrono::milliseconds delay = attempt.kind == AttemptResult::Kind::StartOver || !wrapped
                                          ? std::chrono::milliseconds(0)
                                          : RetryDelay((failures + addresses - 1) / addresses, options_);
    sink_.OnRetrying(item.name, failures, delay, attempt.reason);
    if (!PauseUnlessCancelled(delay)) return false;
  }
}

void DownloadEngine::Unpack(const DownloadItem& item) {
  // One unpacking at a time: the previous archive is finished before the next one starts.
  if (unpacker_.joinable()) unpacker_.join();
  unpacker_ = std::thread([this, &item] { afterDownload_(item); });
}

bool DownloadEngine::PauseUnlessCancelled(std::chrono::milliseconds delay) {
  std::unique_lock lock(mutex_);
  wake_.wait_for(lock, delay, [this] { return cancel_.load(); });
  return !cancel_.load();
}

void DownloadEngine::Tick() {
  std::unique_lock lock(mutex_);
  while (true) {
    if (wake_.wait_for(lock, options_.tickInterval, [this] { return tickerStop_; })) break;
    lock.unlock();
    sink_.OnSpeed(bytesThisTick_.exchange(0));
    lock.lock();
  }
}

}  // namespace kv
