#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "net/curl_easy.h"
#include "net/download_item.h"
#include "util/digest.h"

// One attempt at one planned file, run by a multi handle: the body goes to a partial file (the
// path + ".tmp") that grows over attempts, each resuming where the last stopped, and gets the
// final name once it holds exactly the file's size and matches the planned SHA-1 (or, without
// one, passes the content check). No size is asked for beforehand: the plan's size counts, else
// the answer's own length; an answer never writes past it, nor past the item's size limit.
namespace kv {

struct AttemptResult {
  enum class Kind {
    InPlace,     // the file has its final name
    Failed,      // try again later; the partial file keeps what arrived
    StartOver,   // the partial file cannot be continued and was removed: try again at once
    Unwritable,  // the file cannot be written here (no permission, disk full): trying again is no use
    Cancelled,
  };
  Kind kind = Kind::Failed;
  std::string reason;  // all but InPlace and Cancelled: why
  bool grew = false;   // the partial file is longer than before the attempt
};

// What an attempt tells while it runs (on the thread that runs the multi handle).
struct AttemptReporter {
  // The answer has begun, or the file turned out complete without one: its size (-1 unknown).
  std::function<void(std::int64_t size)> answered;
  // A block of the body was written.
  std::function<void(std::size_t bytes)> received;
};

std::string PartialPath(const DownloadItem& item);

class PartialDownload {
 public:
  // `size`: the file's size as far as it is known (the plan's, or what an earlier attempt
  // learnt), -1 when it is not.
  PartialDownload(const DownloadItem& item, std::string url, std::int64_t size, const std::atomic<bool>& cancel,
                  AttemptReporter reporter, long stallSeconds, ContentCheck contentCheck = {});
  ~PartialDownload();
  PartialDownload(const PartialDownload&) = delete;
  PartialDownload& operator=(const PartialDownload&) = delete;

  // Prepares the transfer. A result when none is needed or possible (the partial file is
  // complete already, or the handle cannot be made); otherwise the handle is ready to be added.
  std::optional<AttemptResult> Begin();
  CURL* Handle() const { return easy_.get(); }
  // After the multi handle reported the transfer's end with `code` (and no longer holds it).
  AttemptResult End(CURLcode code);
  // Leaves the transfer where it is (cancelled): the partial file keeps what arrived.
  void Abandon();

  // Bytes of the file in its partial file now, and its size as far as it is known (-1).
  std::int64_t BytesInPlace() const { return offset_ + written_; }
  std::int64_t Size() const { return size_; }

 private:
  bool Write(const char* data, std::size_t size);
  // The first block of the answer: how it fits the partial file.
  bool StartBody();
  // The partial file holds the whole file: it gets its final name if its contents are right.
  // `digest`: the partial file's checksum when the attempt computed it, else it is read.
  AttemptResult PutInPlace(std::optional<std::string> digest);
  AttemptResult Unwritable(const std::string& what);
  bool CloseFile();

  const DownloadItem& item_;
  const std::string url_;
  const std::string partial_;
  std::int64_t size_;
  const std::atomic<bool>& cancel_;
  const AttemptReporter reporter_;
  const long stallSeconds_;
  const ContentCheck contentCheck_;

  net::CurlEasy easy_{net::Connections::OfTheMultiHandle};
  std::string range_;
  std::int64_t startLength_ = 0;  // the partial file's length before the attempt
  std::int64_t offset_ = 0;       // where this answer's body goes in the partial file
  std::int64_t written_ = 0;      // of this answer's body
  std::FILE* file_ = nullptr;
  bool bodyStarted_ = false;
  std::optional<AttemptResult> refused_;  // why the writer stopped the answer
  // The checksum the item gives (its SHA-512 over its SHA-1), empty when it gives none.
  const DigestKind checkKind_;
  const std::string expected_;
  Digest digest_{checkKind_};
};

}  // namespace kv
