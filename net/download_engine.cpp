#include "net/download_engine.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "net/partial_download.h"
#include "net/speed_meter.h"
#include "platform/diagnostic_log.h"

namespace kv {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds RetryDelay(int failures, const DownloadOptions& options) {
  std::chrono::milliseconds delay = options.firstRetryDelay;
  for (int i = 1; i < failures && delay < options.longestRetryDelay; ++i) delay *= 2;
  return delay < options.longestRetryDelay ? delay : options.longestRetryDelay;
}

// Runs on the worker thread, which alone touches it: libcurl calls the attempts' callbacks
// from inside Perform() there too.
class DownloadEngine::Scheduler {
 public:
  explicit Scheduler(DownloadEngine& engine)
      : engine_(engine), plan_(engine.plan_), options_(engine.options_), multi_(engine.multi_),
        transfers_(std::clamp(engine.options_.transfers, kMinTransfers, kMaxTransfers)), items_(plan_.size()) {
    for (std::size_t i = 0; i < plan_.size(); ++i) {
      items_[i].size = plan_[i].size;
      fresh_.push_back(i);
    }
  }

  void Run() {
    engine_.sink_.OnFileIndex(0, Count());
    if (!multi_) {
      if (!plan_.empty()) Stop(0, "no transfer handle");
      return;
    }
    while (!stop_ && !engine_.cancel_.load()) {
      StartWhatMay();
      if (stop_ || (running_.empty() && fresh_.empty() && waiting_.empty())) break;
      multi_.Perform();
      bool ended = false;
      CURL* easy = nullptr;
      CURLcode code = CURLE_OK;
      while (!stop_ && multi_.NextEnded(easy, code)) {
        ended = true;
        EndTransfer(easy, code);
      }
      ReportProgress(false);
      // A transfer that ended leaves room for the next: fill it before waiting.
      if (!ended && !stop_) multi_.Wait(TimeToWait());
    }
    AbandonRunning();
    ReportProgress(true);
  }

 private:
  struct ItemState {
    int failures = 0;          // in a row without progress
    std::size_t address = 0;   // failed attempts so far: the next one uses this address (modulo their count)
    std::int64_t size = -1;    // planned or learnt
    std::int64_t inPlace = 0;  // bytes in its partial or final file, as far as the run knows
  };
  struct Waiting {
    std::size_t index;
    Clock::time_point readyAt;
  };
  struct Running {
    std::size_t index;
    std::unique_ptr<PartialDownload> attempt;
  };

  int Count() const { return static_cast<int>(plan_.size()); }

  void StartWhatMay() {
    while (!stop_ && static_cast<int>(running_.size()) < transfers_) {
      std::optional<std::size_t> next = NextReady();
      if (!next) return;
      StartAttempt(*next);
    }
  }

  // The next item that may start: a retry whose pause is over first, else the next in the
  // plan. An item whose file another transfer is writing waits for it.
  std::optional<std::size_t> NextReady() {
    const Clock::time_point now = Clock::now();
    for (auto waiting = waiting_.begin(); waiting != waiting_.end(); ++waiting) {
      if (waiting->readyAt <= now && busyPaths_.count(plan_[waiting->index].path) == 0) {
        std::size_t index = waiting->index;
        waiting_.erase(waiting);
        return index;
      }
    }
    for (auto fresh = fresh_.begin(); fresh != fresh_.end(); ++fresh) {
      if (busyPaths_.count(plan_[*fresh].path) == 0) {
        std::size_t index = *fresh;
        fresh_.erase(fresh);
        return index;
      }
    }
    return std::nullopt;
  }

  void StartAttempt(std::size_t index) {
    const DownloadItem& item = plan_[index];
    ItemState& state = items_[index];
    if (item.urls.empty()) return Stop(index, "no address to fetch it from");
    AttemptReporter reporter;
    reporter.answered = [this, index](std::int64_t size) {
      if (size >= 0) items_[index].size = size;
      engine_.sink_.OnFileInfo(plan_[index].name, size);
    };
    reporter.received = [this](std::size_t bytes) {
      engine_.bytesThisTick_.fetch_add(static_cast<std::int64_t>(bytes));
    };
    const std::string& url = item.urls[state.address % item.urls.size()];
    auto attempt = std::make_unique<PartialDownload>(item, url, state.size, engine_.cancel_, std::move(reporter),
                                                     options_.stallSeconds, engine_.contentCheck_);
    if (std::optional<AttemptResult> result = attempt->Begin()) return Conclude(index, *attempt, *result);
    if (!multi_.Add(attempt->Handle())) {
      return Conclude(index, *attempt, {AttemptResult::Kind::Failed, "cannot start the transfer", false});
    }
    busyPaths_.insert(item.path);
    CURL* handle = attempt->Handle();
    running_.emplace(handle, Running{index, std::move(attempt)});
  }

  void EndTransfer(CURL* easy, CURLcode code) {
    auto found = running_.find(easy);
    if (found == running_.end()) return;
    Running run = std::move(found->second);
    running_.erase(found);
    multi_.Remove(easy);
    busyPaths_.erase(plan_[run.index].path);
    AttemptResult result = run.attempt->End(code);
    Conclude(run.index, *run.attempt, result);
  }

  void Conclude(std::size_t index, const PartialDownload& attempt, const AttemptResult& result) {
    const DownloadItem& item = plan_[index];
    ItemState& state = items_[index];
    if (attempt.Size() >= 0) state.size = attempt.Size();
    state.inPlace = attempt.BytesInPlace();
    using Kind = AttemptResult::Kind;
    switch (result.kind) {
      case Kind::InPlace:
        state.inPlace = state.size;
        ++done_;
        engine_.sink_.OnFileIndex(done_, Count());
        engine_.SettleInPlace(index);
        return;
      case Kind::Cancelled:
        return;
      case Kind::Unwritable:
        // Another attempt would meet the same full disk or missing permission.
        LogLine(LogLevel::Error, "Download of " + item.path + " stopped: " + result.reason);
        return Stop(index, result.reason);
      case Kind::StartOver:
        state.inPlace = 0;
        break;
      case Kind::Failed:
        break;
    }
    // A failure after progress (a dropped connection mid-file) starts a new count: the file
    // is getting there. Failures without progress count up to the limit.
    state.failures = result.grew ? 1 : state.failures + 1;
    LogLine(LogLevel::Warning,
            "Download of " + item.urls[state.address % item.urls.size()] + " failed: " + result.reason);
    if (state.failures >= options_.failuresBeforeGivingUp) return Stop(index, result.reason);
    // The next address is tried at once; the pause comes when every address has failed.
    ++state.address;
    const int addresses = static_cast<int>(item.urls.size());
    const bool wrapped = state.address % item.urls.size() == 0;
    const std::chrono::milliseconds delay = result.kind == Kind::StartOver || !wrapped
                                                ? std::chrono::milliseconds(0)
                                                : RetryDelay((state.failures + addresses - 1) / addresses, options_);
    engine_.sink_.OnRetrying(item.name, state.failures, delay, result.reason);
    waiting_.push_back({index, Clock::now() + delay});
  }

  void Stop(std::size_t index, const std::string& reason) {
    engine_.outcome_ = {DownloadResult::Failed, index < plan_.size() ? plan_[index].name : std::string(), reason};
    stop_ = true;
  }

  // The partial files of the transfers still under way stay for the next run.
  void AbandonRunning() {
    for (auto& [handle, run] : running_) {
      multi_.Remove(handle);
      run.attempt->Abandon();
      items_[run.index].inPlace = run.attempt->BytesInPlace();
    }
    running_.clear();
    busyPaths_.clear();
  }

  std::chrono::milliseconds TimeToWait() const {
    Clock::duration wait = options_.progressInterval;
    if (running_.empty()) wait = std::chrono::hours(24);
    const Clock::time_point now = Clock::now();
    for (const Waiting& waiting : waiting_) wait = std::min(wait, std::max(Clock::duration::zero(), waiting.readyAt - now));
    return std::chrono::ceil<std::chrono::milliseconds>(wait);
  }

  // The bytes in place over the bytes planned for the whole run. Files whose size nobody knows
  // yet count with what they hold, so the share never exceeds the whole.
  void ReportProgress(bool final) {
    const Clock::time_point now = Clock::now();
    if (!final && now - lastProgress_ < options_.progressInterval) return;
    lastProgress_ = now;
    for (const auto& [handle, run] : running_) {
      items_[run.index].inPlace = run.attempt->BytesInPlace();
      if (run.attempt->Size() >= 0) items_[run.index].size = run.attempt->Size();
    }
    std::int64_t inPlace = 0;
    std::int64_t planned = 0;
    for (const ItemState& state : items_) {
      inPlace += state.inPlace;
      planned += std::max(state.size, state.inPlace);
    }
    const std::int64_t inPlaceKiB = inPlace / 1024;
    const std::int64_t plannedKiB = planned / 1024;
    if (inPlaceKiB == lastInPlaceKiB_ && plannedKiB == lastPlannedKiB_) return;
    lastInPlaceKiB_ = inPlaceKiB;
    lastPlannedKiB_ = plannedKiB;
    engine_.sink_.OnProgress(inPlaceKiB, plannedKiB);
  }

  DownloadEngine& engine_;
  const std::vector<DownloadItem>& plan_;
  const DownloadOptions& options_;
  net::CurlMulti& multi_;
  const int transfers_;

  std::vector<ItemState> items_;
  std::deque<std::size_t> fresh_;
  std::deque<Waiting> waiting_;
  std::unordered_map<CURL*, Running> running_;
  std::unordered_set<std::string> busyPaths_;
  int done_ = 0;
  bool stop_ = false;
  Clock::time_point lastProgress_;
  std::int64_t lastInPlaceKiB_ = -1;
  std::int64_t lastPlannedKiB_ = -1;
};

DownloadEngine::DownloadEngine(std::vector<DownloadItem> plan, DownloadSink& sink, DownloadOptions options,
                               AfterDownload afterDownload, ContentCheck contentCheck)
    : plan_(std::move(plan)), sink_(sink), options_(options), afterDownload_(std::move(afterDownload)),
      contentCheck_(std::move(contentCheck)), settled_(plan_.size(), Settled::Not) {}

DownloadEngine::~DownloadEngine() {
  if (worker_.joinable()) {
    Cancel();
    worker_.join();
  }
}

void DownloadEngine::Start() {
  // The ticker runs before the worker so that it sees every byte of the first files.
  ticker_ = std::thread([this] { Tick(); });
  const bool archives = std::any_of(plan_.begin(), plan_.end(), [](const DownloadItem& item) { return item.isArchive; });
  if (afterDownload_ && archives) unpacker_ = std::thread([this] { Unpack(); });
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
  cancel_.store(true);
  if (multi_) multi_.Wakeup();
}

void DownloadEngine::Work() {
  Scheduler(*this).Run();
  SettleTheRest();
  if (unpacker_.joinable()) unpacker_.join();
  if (outcome_.result != DownloadResult::Failed && unpackFailure_) outcome_ = *unpackFailure_;
  {
    std::lock_guard lock(mutex_);
    tickerStop_ = true;
  }
  tickerWake_.notify_all();
  ticker_.join();
  if (outcome_.result != DownloadResult::Failed && cancel_.load()) outcome_.result = DownloadResult::Cancelled;
  sink_.OnFinished(outcome_);
}

void DownloadEngine::SettleInPlace(std::size_t index) {
  if (!plan_[index].isArchive) return;
  {
    std::lock_guard lock(mutex_);
    settled_[index] = Settled::InPlace;
  }
  unpackerWake_.notify_all();
}

void DownloadEngine::SettleTheRest() {
  {
    std::lock_guard lock(mutex_);
    for (Settled& settled : settled_) {
      if (settled == Settled::Not) settled = Settled::Abandoned;
    }
  }
  unpackerWake_.notify_all();
}

void DownloadEngine::Unpack() {
  // In the order of the plan, one at a time: an archive waits for the ones before it.
  for (std::size_t index = 0; index < plan_.size(); ++index) {
    if (!plan_[index].isArchive) continue;
    Settled settled = Settled::Not;
    {
      std::unique_lock lock(mutex_);
      unpackerWake_.wait(lock, [&] { return settled_[index] != Settled::Not; });
      settled = settled_[index];
    }
    if (settled != Settled::InPlace) continue;
    const Status unpacked = afterDownload_(plan_[index]);
    if (!unpacked && !unpackFailure_) {
      unpackFailure_ =
          DownloadOutcome{DownloadResult::Failed, plan_[index].name, unpacked.message(), DownloadStep::Unpack};
    }
  }
}

void DownloadEngine::Tick() {
  SpeedMeter meter(SpeedMeter::Clock::now());
  std::unique_lock lock(mutex_);
  while (true) {
    if (tickerWake_.wait_for(lock, options_.tickInterval, [this] { return tickerStop_; })) break;
    lock.unlock();
    const SpeedMeter::Clock::time_point now = SpeedMeter::Clock::now();
    meter.Add(bytesThisTick_.exchange(0), now);
    sink_.OnSpeed(meter.BytesPerSecond(now));
    lock.lock();
  }
}

}  // namespace kv
