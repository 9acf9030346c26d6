#include "net/curl_easy.h"

#include <map>
#include <mutex>
#include <optional>

#include "net/abandonable_transfers.h"
#include "net/endpoints.h"
#include "net/network_library.h"
#include "util/files.h"

namespace kv {
namespace {

// Connections (and resolved names) that earlier transfers of this thread left open. Each
// thread keeps its own: libcurl does not support one connection cache used by several
// threads at once, and a thread's transfers run one after the other anyway.
class ThreadConnections {
 public:
  ~ThreadConnections() { Release(); }

  CURLSH* Get() {
    if (share_ == nullptr) {
      share_ = curl_share_init();
      if (share_ != nullptr) {
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
      }
    }
    return share_;
  }

  void Release() {
    if (share_ != nullptr) curl_share_cleanup(share_);
    share_ = nullptr;
  }

 private:
  CURLSH* share_ = nullptr;
};

thread_local ThreadConnections tConnections;

constexpr long kDefaultStallSeconds = 30;

// The system's CA store followed by the extra bundle, for each extra bundle in use. Read once
// per bundle path: a mirror over HTTPS asks for it on every file.
const std::string* CombinedCaBundle(CURL* handle, const std::string& extraPath) {
  static std::mutex mutex;
  static std::map<std::string, std::optional<std::string>> bundles;
  std::lock_guard lock(mutex);
  auto found = bundles.find(extraPath);
  if (found == bundles.end()) {
    std::optional<std::string> combined;
    if (std::optional<std::string> extra = ReadWholeFile(extraPath)) {
      std::string system;
      char* systemPath = nullptr;
      if (curl_easy_getinfo(handle, CURLINFO_CAINFO, &systemPath) == CURLE_OK && systemPath != nullptr) {
        system = ReadWholeFile(systemPath).value_or(std::string());
      }
      combined = system + "\n" + *extra;
    }
    found = bundles.emplace(extraPath, std::move(combined)).first;
  }
  return found->second ? &*found->second : nullptr;
}

}  // namespace

NetworkLibrary::NetworkLibrary() : ready_(curl_global_init(CURL_GLOBAL_ALL) == CURLE_OK) {}

NetworkLibrary::~NetworkLibrary() {
  ReleaseThreadConnections();
  if (ready_) curl_global_cleanup();
}

void ReleaseThreadConnections() { tConnections.Release(); }

namespace net {

CurlEasy::CurlEasy(Connections connections) : handle_(curl_easy_init()) {
  if (handle_ == nullptr) return;
  curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, error_);
  if (connections == Connections::OfThisThread) {
    if (CURLSH* share = tConnections.Get()) curl_easy_setopt(handle_, CURLOPT_SHARE, share);
  }
  curl_easy_setopt(handle_, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(handle_, CURLOPT_SSL_VERIFYHOST, 2L);
  std::string extraBundle = ExtraCaBundle();
  if (!extraBundle.empty()) {
    if (const std::string* bundle = CombinedCaBundle(handle_, extraBundle)) {
      curl_blob blob{const_cast<char*>(bundle->data()), bundle->size(), CURL_BLOB_NOCOPY};
      curl_easy_setopt(handle_, CURLOPT_CAINFO_BLOB, &blob);
    }
  }
  curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &CurlEasy::WriteBody);
  curl_easy_setopt(handle_, CURLOPT_WRITEDATA, this);
  SetStallTimeout(kDefaultStallSeconds);
}

CurlEasy::~CurlEasy() {
  if (handle_ != nullptr) curl_easy_cleanup(handle_);
}

void CurlEasy::ReceiveSuccessBodyInto(BodyWriter writer) {
  writer_ = std::move(writer);
  successOnly_ = true;
}

void CurlEasy::ReceiveAnyBodyInto(BodyWriter writer) {
  writer_ = std::move(writer);
  successOnly_ = false;
}

void CurlEasy::SetStallTimeout(long seconds) {
  curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_LIMIT, seconds > 0 ? 1L : 0L);
  curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, seconds);
}

void CurlEasy::SetProgressHandler(ProgressHandler handler) {
  progress_ = std::move(handler);
  curl_easy_setopt(handle_, CURLOPT_XFERINFOFUNCTION, &CurlEasy::ReportProgress);
  curl_easy_setopt(handle_, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(handle_, CURLOPT_NOPROGRESS, 0L);
}

int CurlEasy::ReportProgress(void* self, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t, curl_off_t) {
  auto* easy = static_cast<CurlEasy*>(self);
  return easy->progress_(static_cast<std::int64_t>(downloadTotal), static_cast<std::int64_t>(downloaded)) ? 0 : 1;
}

std::size_t CurlEasy::WriteBody(char* data, std::size_t size, std::size_t count, void* self) {
  auto* easy = static_cast<CurlEasy*>(self);
  std::size_t bytes = size * count;
  if (easy->successOnly_) {
    long status = 0;
    curl_easy_getinfo(easy->handle_, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status >= 300) {
      easy->refusedStatus_ = true;
      return 0;
    }
  }
  if (!easy->writer_) return bytes;
  return easy->writer_(data, bytes) ? bytes : 0;
}

TransferOutcome CurlEasy::Perform() {
  if (handle_ == nullptr) return Finish(CURLE_FAILED_INIT);
  Begin();
  return Finish(AbandonableTransfers::Perform(handle_));
}

void CurlEasy::Begin() {
  error_[0] = '\0';
  refusedStatus_ = false;
}

long CurlEasy::HttpStatus() const {
  long status = 0;
  curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &status);
  return status;
}

std::string CurlEasy::Header(const char* name) const {
  curl_header* header = nullptr;
  if (curl_easy_header(handle_, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK) return {};
  return header->value;
}

TransferOutcome CurlEasy::Finish(CURLcode code) {
  TransferOutcome outcome;
  if (handle_ == nullptr) {
    outcome.reason = DescribeFailure(CURLE_FAILED_INIT, 0, nullptr);
    return outcome;
  }
  outcome.code = code;
  outcome.httpStatus = HttpStatus();
  if (outcome.code == CURLE_OK && successOnly_ &&
      (outcome.httpStatus < 200 || outcome.httpStatus >= 300)) {
    // An error answer without a body never reached the writer.
    refusedStatus_ = true;
  }
  if (refusedStatus_) {
    outcome.reason = DescribeFailure(CURLE_OK, outcome.httpStatus, nullptr);
    outcome.code = CURLE_HTTP_RETURNED_ERROR;
  } else if (outcome.code != CURLE_OK) {
    outcome.reason = DescribeFailure(outcome.code, outcome.httpStatus, error_);
  }
  return outcome;
}

std::string DescribeFailure(CURLcode code, long httpStatus, const char* detail) {
  if (code == CURLE_OK) return "HTTP " + std::to_string(httpStatus);
  if (detail != nullptr && detail[0] != '\0') return detail;
  return curl_easy_strerror(code);
}

}  // namespace net
}  // namespace kv
