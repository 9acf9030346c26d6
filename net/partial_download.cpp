#include "net/partial_download.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "net/transfers.h"
#include "net/url_encoding.h"
#include "util/files.h"

namespace kv {
namespace {

constexpr long kReceiveBufferBytes = 128L * 1024;

using Kind = AttemptResult::Kind;

// A link in the partial file's place is no part of the file: it counts as nothing fetched, and
// the first write replaces it.
std::int64_t LengthOf(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) return 0;
  return static_cast<std::int64_t>(GetFileSize(path));
}

void RemoveFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

// The total of a Content-Range value ("bytes 0-99/1000", "bytes */1000"); -1 when it has none.
std::int64_t RangeTotal(const std::string& contentRange) {
  std::size_t slash = contentRange.rfind('/');
  if (slash == std::string::npos) return -1;
  try {
    std::size_t used = 0;
    long long total = std::stoll(contentRange.substr(slash + 1), &used);
    return used > 0 && total >= 0 ? total : -1;
  } catch (const std::exception&) {
    return -1;
  }
}

// The first byte of a Content-Range value ("bytes 100-199/1000"); -1 when it has none.
std::int64_t RangeFirst(const std::string& contentRange) {
  std::size_t space = contentRange.find(' ');
  if (space == std::string::npos) return -1;
  try {
    long long first = std::stoll(contentRange.substr(space + 1));
    return first >= 0 ? first : -1;
  } catch (const std::exception&) {
    return -1;
  }
}

}  // namespace

std::string PartialPath(const DownloadItem& item) { return item.path + ".tmp"; }

PartialDownload::PartialDownload(const DownloadItem& item, std::string url, std::int64_t size,
                                 const std::atomic<bool>& cancel, AttemptReporter reporter, long stallSeconds,
                                 ContentCheck contentCheck)
    : item_(item), url_(std::move(url)), partial_(PartialPath(item)), size_(size), cancel_(cancel),
      reporter_(std::move(reporter)), stallSeconds_(stallSeconds), contentCheck_(std::move(contentCheck)) {}

PartialDownload::~PartialDownload() { CloseFile(); }

std::optional<AttemptResult> PartialDownload::Begin() {
  startLength_ = LengthOf(partial_);
  offset_ = startLength_;
  if (size_ >= 0 && offset_ == size_) {
    // Complete already: an earlier attempt ended just before the rename, or the file is empty.
    if (size_ == 0) {
      MakeFoldersForPath(item_.path);
      std::FILE* empty = OpenStreamForWriting(partial_, WriteStart::Truncate);
      if (empty == nullptr) return Unwritable("cannot create " + partial_);
      std::fclose(empty);
    }
    if (reporter_.answered) reporter_.answered(size_);
    return PutInPlace(std::nullopt);
  }
  if (size_ >= 0 && offset_ > size_) {
    // Longer than the file: not a part of it.
    RemoveFile(partial_);
    offset_ = 0;
  }
  if (!easy_) return AttemptResult{Kind::Failed, "no transfer handle", false};
  if (!item_.sha1.empty() && offset_ > 0) {
    // The checksum covers the part that earlier attempts fetched.
    std::FILE* part = std::fopen(partial_.c_str(), "rb");
    char buffer[64 * 1024];
    std::size_t read = 0;
    while (part != nullptr && (read = std::fread(buffer, 1, sizeof buffer, part)) > 0) digest_.Update(buffer, read);
    if (part != nullptr) std::fclose(part);
  }

  CURL* handle = easy_.get();
  curl_easy_setopt(handle, CURLOPT_URL, url_.c_str());
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, static_cast<long>(kConnectTimeout.count()));
  curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_2TLS));
  // Over TLS the server may offer HTTP/2: a new transfer waits for that answer and then shares
  // the connection instead of opening one more. Plain HTTP is HTTP/1.1 here: nothing to wait for.
  if (IsHttpsAddress(url_)) curl_easy_setopt(handle, CURLOPT_PIPEWAIT, 1L);
  if (offset_ > 0) {
    range_ = std::to_string(offset_) + "-";
    curl_easy_setopt(handle, CURLOPT_RANGE, range_.c_str());
  }
  easy_.SetStallTimeout(stallSeconds_);
  easy_.ReceiveSuccessBodyInto([this](const char* data, std::size_t size) { return Write(data, size); });
  easy_.Begin();
  return std::nullopt;
}

bool PartialDownload::StartBody() {
  std::int64_t answerSize = -1;
  if (easy_.HttpStatus() == 206) {
    const std::string contentRange = easy_.Header("Content-Range");
    if (RangeFirst(contentRange) != offset_) {
      refused_ = AttemptResult{Kind::StartOver, "the server sent another part of the file (" + contentRange + ")", false};
      return false;
    }
    answerSize = RangeTotal(contentRange);
  } else {
    // The whole file: the server does not resume, or nothing was there to resume.
    offset_ = 0;
    digest_.Reset();
    curl_off_t length = -1;
    if (curl_easy_getinfo(easy_.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK && length >= 0) {
      answerSize = static_cast<std::int64_t>(length);
    }
  }
  if (size_ >= 0 && answerSize >= 0 && answerSize != size_) {
    refused_ = AttemptResult{Kind::Failed,
                             "the server's file has " + std::to_string(answerSize) + " bytes, not " + std::to_string(size_),
                             false};
    return false;
  }
  if (size_ < 0 && answerSize > item_.sizeLimit) {
    refused_ = AttemptResult{Kind::StartOver, "the server's file has " + std::to_string(answerSize) +
                                                  " bytes, more than the " + std::to_string(item_.sizeLimit) +
                                                  " such a file may have",
                             false};
    return false;
  }
  if (size_ < 0) size_ = answerSize;
  // The partial file (and its folders) is made with the first byte of a success answer, so an
  // error answer leaves nothing behind.
  MakeFoldersForPath(item_.path);
  file_ = OpenStreamForWriting(partial_, offset_ > 0 ? WriteStart::Append : WriteStart::Truncate);
  if (file_ == nullptr) {
    refused_ = Unwritable("cannot write " + partial_ + ": " + std::strerror(errno));
    return false;
  }
  if (reporter_.answered) reporter_.answered(size_);
  return true;
}

bool PartialDownload::Write(const char* data, std::size_t size) {
  if (cancel_.load()) return false;
  if (!bodyStarted_) {
    bodyStarted_ = true;
    if (!StartBody()) return false;
  }
  // Nothing past the file's end is written: an answer that goes on is stopped where it passes.
  const std::int64_t bound = size_ >= 0 ? size_ : item_.sizeLimit;
  if (static_cast<std::int64_t>(size) > bound - BytesInPlace()) {
    refused_ = AttemptResult{Kind::StartOver,
                             "the answer goes on past the " + std::to_string(bound) +
                                 (size_ >= 0 ? " bytes of the file" : " bytes such a file may have"),
                             false};
    return false;
  }
  if (std::fwrite(data, 1, size, file_) != size) {
    refused_ = Unwritable("cannot write " + partial_ + ": " + std::strerror(errno));
    return false;
  }
  if (!item_.sha1.empty()) digest_.Update(data, size);
  written_ += static_cast<std::int64_t>(size);
  if (reporter_.received) reporter_.received(size);
  return true;
}

AttemptResult PartialDownload::End(CURLcode code) {
  const net::TransferOutcome outcome = easy_.Finish(code);
  if (!bodyStarted_ && outcome.Succeeded() && !cancel_.load()) {
    // An empty body: the writer was never called.
    bodyStarted_ = true;
    StartBody();
  }
  const int closeError = CloseFile() ? 0 : errno;
  if (cancel_.load()) return {Kind::Cancelled, {}, false};
  const bool grew = BytesInPlace() > startLength_;
  if (refused_) {
    AttemptResult refused = *refused_;
    if (refused.kind == Kind::StartOver) RemoveFile(partial_);
    refused.grew = refused.kind == Kind::Failed && grew;
    return refused;
  }
  if (closeError != 0) return Unwritable("cannot write " + partial_ + ": " + std::strerror(closeError));
  if (!outcome.Succeeded()) {
    if (outcome.httpStatus == 416) {
      const std::int64_t total = RangeTotal(easy_.Header("Content-Range"));
      if (total >= 0 && total == offset_ && (size_ < 0 || size_ == total)) {
        // Nothing was left to fetch: the partial file is the whole file.
        size_ = total;
        if (reporter_.answered) reporter_.answered(size_);
        return PutInPlace(item_.sha1.empty() ? std::nullopt : std::optional<std::string>(digest_.HexDigest()));
      }
      RemoveFile(partial_);
      return {Kind::StartOver, "HTTP 416", false};
    }
    return {Kind::Failed, outcome.reason, grew};
  }
  const std::int64_t length = BytesInPlace();
  if (size_ < 0) size_ = length;  // no length announced: what arrived until the end is the file
  if (length < size_) {
    return {Kind::Failed, "the transfer ended at " + std::to_string(length) + " of " + std::to_string(size_) + " bytes",
            grew};
  }
  return PutInPlace(item_.sha1.empty() ? std::nullopt : std::optional<std::string>(digest_.HexDigest()));
}

void PartialDownload::Abandon() { CloseFile(); }

AttemptResult PartialDownload::PutInPlace(std::optional<std::string> digest) {
  if (!item_.sha1.empty()) {
    if (!digest) digest = Sha1OfFile(partial_);
    if (!digest || !SameDigest(*digest, item_.sha1)) {
      // Damaged or another file: nothing of it is kept.
      RemoveFile(partial_);
      offset_ = 0;
      written_ = 0;
      return {Kind::Failed, "SHA-1 mismatch: " + digest.value_or("unreadable") + " instead of " + item_.sha1, false};
    }
  } else if (contentCheck_) {
    // Without a checksum, a file whose answer ended early but cleanly looks complete: only its
    // content can tell.
    if (const Status content = contentCheck_(item_, partial_); !content) {
      RemoveFile(partial_);
      offset_ = 0;
      written_ = 0;
      return {Kind::Failed, content.message(), false};
    }
  }
  std::error_code error;
  std::filesystem::rename(partial_, item_.path, error);
  if (error) return Unwritable("cannot rename " + partial_ + ": " + error.message());
  return {Kind::InPlace, {}, false};
}

AttemptResult PartialDownload::Unwritable(const std::string& what) { return {Kind::Unwritable, what, false}; }

bool PartialDownload::CloseFile() {
  if (file_ == nullptr) return true;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed;
}

}  // namespace kv
