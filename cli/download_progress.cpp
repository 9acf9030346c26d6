#include "cli/download_progress.h"

#include <semaphore.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "cli/cli_commands.h"
#include "install/native_extraction.h"
#include "net/download_engine.h"
#include "net/network_library.h"
#include "net/size_text.h"
#include "platform/launcher_folder.h"
#include "settings/settings.h"

namespace kv::cli {
namespace {

// libcurl's global state for every command of korvane-cli; set up before main runs.
const NetworkLibrary kNetwork;

// Ctrl-C during the downloads: the handler may only note it and post the semaphore (both
// safe in a signal handler); a thread waiting on the semaphore turns it into a cancel.
std::atomic<bool> gInterrupted{false};
sem_t gWake;

extern "C" void NoteInterrupt(int) {
  gInterrupted.store(true);
  sem_post(&gWake);
}

// The progress of the download engine as one line of standard error: the files in place of
// all, the file whose answer began last with its size, the speed of all transfers and the
// share of the run's bytes in place. Rewritten in place on a terminal; otherwise one line per
// file (and per retry), and a last one when everything is in place.
class ProgressLine : public DownloadSink {
 public:
  ProgressLine() : terminal_(::isatty(STDERR_FILENO) == 1) {}

  void OnFileIndex(int done, int count) override {
    std::lock_guard lock(mutex_);
    done_ = done;
    count_ = count;
    if (terminal_) Print(false);
  }
  void OnFileInfo(const std::string& name, std::int64_t size) override {
    std::lock_guard lock(mutex_);
    name_ = Printable(name);
    size_ = size;
    Print(true);
  }
  void OnProgress(std::int64_t receivedKiB, std::int64_t totalKiB) override {
    std::lock_guard lock(mutex_);
    if (!firstKiB_) firstKiB_ = receivedKiB;
    receivedKiB_ = receivedKiB;
    totalKiB_ = totalKiB;
    if (terminal_) Print(false);
  }
  void OnSpeed(std::int64_t bytesLastSecond) override {
    std::lock_guard lock(mutex_);
    speed_ = bytesLastSecond;
    ticked_ = true;
    if (terminal_) Print(false);
  }
  void OnRetrying(const std::string& name, int failures, std::chrono::milliseconds delay,
                  const std::string& reason) override {
    std::lock_guard lock(mutex_);
    EndLine();
    std::fprintf(stderr, "下载失败 %s (%s)，第 %d 次，%.1f 秒后重试\n", Printable(name).c_str(), reason.c_str(), failures,
                 static_cast<double>(delay.count()) / 1000);
  }
  void OnFinished(const DownloadOutcome& outcome) override {
    std::lock_guard lock(mutex_);
    if (outcome.result == DownloadResult::Completed && count_ > 0) Print(true, true);
    EndLine();
    if (outcome.result == DownloadResult::Failed && outcome.step == DownloadStep::Unpack) {
      std::fprintf(stderr, "korvane-cli: 无法解压 %s: %s（已删除这个文件，下次运行时会重新下载）\n",
                   Printable(outcome.failedName).c_str(), outcome.reason.c_str());
    } else if (outcome.result == DownloadResult::Failed) {
      std::fprintf(stderr, "korvane-cli: 无法下载 %s: %s\n", Printable(outcome.failedName).c_str(), outcome.reason.c_str());
    }
  }

 private:
  // The bytes of the last second. Until the first second is over, and on the last line when
  // the last second brought nothing, the bytes of the run so far over its time: a run that
  // brought bytes never shows a speed of nothing for it.
  std::int64_t Speed(bool last) const {
    if (speed_ > 0 || (ticked_ && !last)) return speed_;
    const std::int64_t bytes = (receivedKiB_ - firstKiB_.value_or(receivedKiB_)) * 1024;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_);
    return bytes * 1000 / std::max<std::int64_t>(elapsed.count(), 1);
  }

  void Print(bool always, bool last = false) {
    auto now = std::chrono::steady_clock::now();
    if (!always && now - lastPrint_ < std::chrono::milliseconds(100)) return;
    lastPrint_ = now;
    std::string percent;
    if (totalKiB_ > 0) percent = " " + std::to_string(receivedKiB_ * 100 / totalKiB_) + "%";
    std::fprintf(stderr, "%s(%d/%d) %s %s %s%s%s", terminal_ ? "\r\033[K" : "", done_, count_, name_.c_str(),
                 FileSizeText(size_).c_str(), SpeedText(Speed(last)).c_str(), percent.c_str(), terminal_ ? "" : "\n");
    lineOpen_ = terminal_;
  }

  void EndLine() {
    if (lineOpen_) std::fputc('\n', stderr);
    lineOpen_ = false;
  }

  const bool terminal_;
  std::mutex mutex_;
  int done_ = 0;
  int count_ = 0;
  std::string name_;
  std::int64_t size_ = -1;
  std::int64_t speed_ = 0;
  bool ticked_ = false;  // the engine has measured a second
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::optional<std::int64_t> firstKiB_;  // in place when the run began
  std::int64_t receivedKiB_ = 0;
  std::int64_t totalKiB_ = 0;
  bool lineOpen_ = false;
  std::chrono::steady_clock::time_point lastPrint_;
};

}  // namespace

DownloadResult DownloadWithProgress(const std::vector<DownloadItem>& plan, std::optional<int> transfers) {
  return FetchWithProgress(plan, transfers).result;
}

DownloadOutcome FetchWithProgress(const std::vector<DownloadItem>& plan, std::optional<int> transfers) {
  ProgressLine progress;
  DownloadOptions options;
  options.transfers = transfers.value_or(ReadSettings(SettingsFilePath()).downloadThreads.value_or(kDefaultTransfers));
  DownloadEngine engine(plan, progress, options, UnpackDownloadedArchive, CheckDownloadedFile);
  gInterrupted.store(false);
  sem_init(&gWake, 0, 0);
  auto previous = std::signal(SIGINT, NoteInterrupt);
  std::thread watcher([&] {
    while (sem_wait(&gWake) != 0 && errno == EINTR) {
    }
    if (gInterrupted.load()) engine.Cancel();
  });
  DownloadOutcome outcome = engine.Run();
  sem_post(&gWake);  // the end of the run, when no interrupt came first
  watcher.join();
  std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
  sem_destroy(&gWake);
  return outcome;
}

}  // namespace kv::cli
