#include "net/partial_download.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "net/curl_easy.h"
#include "net/sha1.h"
#include "net/transfers.h"
#include "util/files.h"

namespace kv {
namespace {

constexpr long kConnectTimeoutSeconds = 10;

using Kind = AttemptResult::Kind;

AttemptResult Result(Kind kind, std::string reason = {}, bool grew = false) {
  return AttemptResult{kind, std::move(reason), grew};
}

std::int64_t LengthOf(const std::string& path) { return static_cast<std::int64_t>(GetFileSize(path)); }

void RemoveFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

// An empty partial file, for a file that is empty on the mirror.
void CreateEmptyPartial(const DownloadItem& item, const std::string& partial) {
  if (PathExists(partial)) return;
  MakeFoldersForPath(item.path);
  if (std::FILE* empty = std::fopen(partial.c_str(), "wb")) std::fclose(empty);
}

// A complete partial file whose contents are not the planned ones is removed: it is fetched
// again from the start.
bool MatchesPlannedDigest(const DownloadItem& item, const std::string& partial, std::string& reason) {
  if (item.sha1.empty()) return true;
  std::optional<std::string> digest = Sha1OfFile(partial);
  if (digest && SameDigest(*digest, item.sha1)) return true;
  reason = "SHA-1 mismatch: " + (digest ? *digest : std::string("unreadable")) + " instead of " + item.sha1;
  RemoveFile(partial);
  return false;
}

bool GiveFinalName(const DownloadItem& item, const std::string& partial, std::string& reason) {
  if (!MatchesPlannedDigest(item, partial, reason)) return false;
  const std::string& path = item.path;
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  if (error) reason = "cannot rename " + partial + ": " + error.message();
  return !error;
}

// Reports progress in whole KiB, and only when the figures change: libcurl calls far more
// often than the shown numbers move.
class ProgressReport {
 public:
  ProgressReport(std::int64_t resumeOffset, const AttemptReporter& reporter)
      : resumeOffset_(resumeOffset), reporter_(reporter) {}

  void Update(std::int64_t total, std::int64_t received) {
    if (!reporter_.progress) return;
    if (resumeOffset_ > 0 && received <= 0) return;
    std::int64_t receivedKiB = (resumeOffset_ + received) / 1024;
    std::int64_t totalKiB = (resumeOffset_ + total) / 1024;
    if (receivedKiB == lastReceived_ && totalKiB == lastTotal_) return;
    lastReceived_ = receivedKiB;
    lastTotal_ = totalKiB;
    reporter_.progress(receivedKiB, totalKiB);
  }

 private:
  std::int64_t resumeOffset_;
  const AttemptReporter& reporter_;
  std::int64_t lastReceived_ = -1;
  std::int64_t lastTotal_ = -1;
};

}  // namespace

std::string PartialPath(const DownloadItem& item) { return item.path + ".tmp"; }

AttemptResult AttemptDownload(const DownloadItem& item, const std::string& url, const std::atomic<bool>& cancel,
                              const AttemptReporter& reporter, long stallSeconds) {
  const std::string partial = PartialPath(item);
  std::int64_t local = LengthOf(partial);
  // A size the plan knows is not asked for.
  const std::int64_t remote = item.size >= 0 ? item.size : QueryRemoteSize(url, &cancel);
  if (cancel.load()) return Result(Kind::Cancelled);
  if (reporter.started) reporter.started(remote);

  std::string reason;
  if (remote >= 0 && local == remote) {
    // Complete already (an earlier attempt ended just before the rename, or the file is empty).
    CreateEmptyPartial(item, partial);
    return GiveFinalName(item, partial, reason) ? Result(Kind::InPlace) : Result(Kind::Failed, reason);
  }
  if (remote >= 0 && local > remote) {
    // Longer than the file on the mirror: not a part of it.
    RemoveFile(partial);
    local = 0;
  }

  net::CurlEasy easy;
  if (!easy) return Result(Kind::Failed, "no transfer handle");
  curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(easy.get(), CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(local));
  curl_easy_setopt(easy.get(), CURLOPT_BUFFERSIZE, 128L * 1024);
  easy.SetStallTimeout(stallSeconds);
  // The partial file (and its folders) is made with the first byte of a success answer, so
  // an error answer leaves nothing behind.
  std::FILE* file = nullptr;
  bool unwritable = false;
  easy.ReceiveSuccessBodyInto([&](const char* data, std::size_t size) {
    if (cancel.load()) return false;
    if (file == nullptr) {
      MakeFoldersForPath(item.path);
      file = std::fopen(partial.c_str(), "ab");
      unwritable = file == nullptr;
      if (unwritable) return false;
    }
    if (reporter.received) reporter.received(size);
    return std::fwrite(data, 1, size, file) == size;
  });
  ProgressReport progress(local, reporter);
  easy.SetProgressHandler([&](std::int64_t total, std::int64_t received) {
    if (cancel.load()) return false;
    progress.Update(total, received);
    return true;
  });
  net::TransferOutcome outcome = easy.Perform();
  bool written = !unwritable && (file == nullptr || std::fclose(file) == 0);
  const std::int64_t length = LengthOf(partial);
  const bool grew = length > local;

  if (cancel.load()) return Result(Kind::Cancelled);
  if (!written) return Result(Kind::Failed, "cannot write " + partial, grew);
  if (!outcome.Succeeded()) {
    const long status = outcome.httpStatus;
    if (status == 416 || (outcome.code == CURLE_RANGE_ERROR && status >= 200 && status < 300)) {
      // The server does not continue this partial file (it ignores ranges, or the file
      // changed under it): fetch the whole file again.
      RemoveFile(partial);
      return Result(Kind::StartOver, status == 416 ? "HTTP 416" : "the server does not resume downloads");
    }
    std::string why = status >= 300 ? "HTTP " + std::to_string(status) : outcome.reason;
    return Result(Kind::Failed, why, grew);
  }
  if (file == nullptr) CreateEmptyPartial(item, partial);  // an empty body
  if (remote >= 0 && length != remote) {
    if (length > remote) {
      RemoveFile(partial);
      return Result(Kind::StartOver, "received more than the announced " + std::to_string(remote) + " bytes");
    }
    return Result(Kind::Failed,
                  "the transfer ended at " + std::to_string(length) + " of " + std::to_string(remote) + " bytes", grew);
  }
  if (!GiveFinalName(item, partial, reason)) {
    // A mismatch removed the file: no progress was made.
    return Result(Kind::Failed, reason, grew && PathExists(partial));
  }
  return Result(Kind::InPlace);
}

}  // namespace kv
