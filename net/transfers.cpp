#include "net/transfers.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <random>

#include "net/curl_easy.h"
#include "net/endpoints.h"
#include "net/url_encoding.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

// The services answer in a few hundred bytes; a reply that keeps coming is refused before it
// fills the memory.
constexpr std::size_t kMemoryReplyLimit = 1024 * 1024;

bool AppendWithinLimit(std::string& body, const char* data, std::size_t size) {
  if (size > kMemoryReplyLimit - body.size()) return false;
  body.append(data, size);
  return true;
}

// A new file beside `path` that no other writer uses.
std::FILE* CreateTemporaryBeside(const std::string& path, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  for (int attempt = 0; attempt < 8; ++attempt) {
    tempPath = path + ".download-" + std::to_string(random() % 1000000) + "-" +
               std::to_string(counter.fetch_add(1));
    if (std::FILE* file = std::fopen(tempPath.c_str(), "wbx")) return file;
  }
  return nullptr;
}

bool FetchIntoString(std::string& body, const std::string& url, bool followRedirects,
                     const std::string& referer, const std::atomic<bool>* cancel) {
  body.clear();
  net::CurlEasy easy;
  if (!easy) return false;
  if (cancel != nullptr) {
    easy.SetProgressHandler([cancel](std::int64_t, std::int64_t) { return !cancel->load(); });
  }
  curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
  if (followRedirects) curl_easy_setopt(easy.get(), CURLOPT_FOLLOWLOCATION, 1L);
  if (!referer.empty()) curl_easy_setopt(easy.get(), CURLOPT_REFERER, referer.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT, static_cast<long>(kConnectTimeout.count()));
  easy.ReceiveSuccessBodyInto(
      [&body](const char* data, std::size_t size) { return AppendWithinLimit(body, data, size); });
  return easy.Perform().Succeeded();
}

constexpr const char* kNoTransfer = "no transfer could be set up";

// A reply kept in memory, refused as too large once it passes the limit.
struct LimitedBody {
  std::string text;
  bool tooLarge = false;

  bool Append(const char* data, std::size_t size) {
    tooLarge = !AppendWithinLimit(text, data, size);
    return !tooLarge;
  }
};

Failure FailureOf(const net::TransferOutcome& outcome, bool tooLarge) {
  if (tooLarge) return Fail(FailureKind::TooLarge, "the answer is larger than 1 MiB");
  switch (outcome.code) {
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
      return Fail(FailureKind::Unreachable, outcome.reason);
    case CURLE_OPERATION_TIMEDOUT:
      return Fail(FailureKind::TimedOut, outcome.reason);
    case CURLE_ABORTED_BY_CALLBACK:
      return Fail(FailureKind::Cancelled, outcome.reason);
    default:
      return Fail(FailureKind::Other, outcome.reason);
  }
}

}  // namespace

Status DownloadToFile(const std::string& path, const std::string& url, std::chrono::seconds connectTimeout,
                      std::uint64_t maxBytes) {
  net::CurlEasy easy;
  if (!easy) return Fail(FailureKind::Other, msg::DownloadBroken(url, "no transfer handle"));
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return Fail(FailureKind::Io, msg::FileNotWritten(path));
  MakeFoldersForPath(path);
  std::string tempPath;
  std::FILE* file = CreateTemporaryBeside(path, tempPath);
  if (file == nullptr) return Fail(FailureKind::Io, msg::FileNotWritten(path));

  curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT, static_cast<long>(connectTimeout.count()));
  if (maxBytes != 0) curl_easy_setopt(easy.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes));
  std::uint64_t written = 0;
  bool tooLarge = false;
  bool writeFailed = false;
  easy.ReceiveSuccessBodyInto([&](const char* data, std::size_t size) {
    if (maxBytes != 0 && size > maxBytes - written) {
      tooLarge = true;
      return false;
    }
    written += size;
    writeFailed = std::fwrite(data, 1, size, file) != size;
    return !writeFailed;
  });
  const net::TransferOutcome outcome = easy.Perform();
  writeFailed = (std::fclose(file) != 0) || writeFailed;
  Status result;
  if (tooLarge || outcome.code == CURLE_FILESIZE_EXCEEDED) {
    result = Fail(FailureKind::TooLarge, msg::DownloadTooLarge(url, maxBytes));
  } else if (writeFailed) {
    result = Fail(FailureKind::Io, msg::FileNotWritten(path));
  } else if (!outcome.Succeeded()) {
    result = Fail(FailureOf(outcome, false).kind, msg::DownloadBroken(url, outcome.reason));
  } else {
    std::filesystem::rename(tempPath, path, error);
    if (error) result = Fail(FailureKind::Io, msg::FileNotWritten(path));
  }
  if (!result) std::filesystem::remove(tempPath, error);
  return result;
}

bool FetchToBuffer(std::string& body, const std::string& url, const std::atomic<bool>* cancel) {
  return FetchIntoString(body, url, false, std::string(), cancel);
}

std::int64_t QueryRemoteSize(const std::string& url, const std::atomic<bool>* cancel,
                             std::chrono::seconds connectTimeout) {
  net::CurlEasy easy;
  if (!easy) return -1;
  if (cancel != nullptr) {
    easy.SetProgressHandler([cancel](std::int64_t, std::int64_t) { return !cancel->load(); });
  }
  curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT, static_cast<long>(connectTimeout.count()));
  curl_easy_setopt(easy.get(), CURLOPT_NOBODY, 1L);
  if (!easy.Perform().Succeeded()) return -1;
  curl_off_t length = -1;
  if (curl_easy_getinfo(easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK) return -1;
  return length < 0 ? -1 : static_cast<std::int64_t>(length);
}

Result<WebAnswer> PostJson(const std::string& url, std::string_view document) {
  return Exchange({url, "application/json", std::string(document), {}});
}

Result<WebAnswer> Exchange(const WebRequest& request, const std::atomic<bool>* cancel) {
  net::CurlEasy easy;
  if (!easy) return Fail(FailureKind::Other, kNoTransfer);
  curl_slist* headers = nullptr;
  std::vector<std::string> lines = request.headers;
  if (!request.contentType.empty()) lines.push_back("Content-Type: " + request.contentType);
  for (const std::string& line : lines) {
    curl_slist* grown = curl_slist_append(headers, line.c_str());
    if (grown == nullptr) {
      curl_slist_free_all(headers);
      return Fail(FailureKind::Other, kNoTransfer);
    }
    headers = grown;
  }
  if (headers != nullptr) curl_easy_setopt(easy.get(), CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(easy.get(), CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT, static_cast<long>(kConnectTimeout.count()));
  if (!request.contentType.empty()) {
    // The size is given with the text, so an empty body is posted empty instead of making
    // libcurl read the body from standard input.
    curl_easy_setopt(easy.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    curl_easy_setopt(easy.get(), CURLOPT_POSTFIELDS, request.body.c_str());
    curl_easy_setopt(easy.get(), CURLOPT_POST, 1L);
  }
  if (cancel != nullptr) {
    easy.SetProgressHandler([cancel](std::int64_t, std::int64_t) { return !cancel->load(); });
  }
  LimitedBody body;
  easy.ReceiveAnyBodyInto([&body](const char* data, std::size_t size) { return body.Append(data, size); });
  const net::TransferOutcome outcome = easy.Perform();
  curl_slist_free_all(headers);
  if (!outcome.Completed()) return FailureOf(outcome, body.tooLarge);
  WebAnswer answer;
  answer.status = outcome.httpStatus;
  answer.body = std::move(body.text);
  return answer;
}

Result<WebAnswer> FetchAnswer(const std::string& url, const char* headerName) {
  net::CurlEasy easy;
  if (!easy) return Fail(FailureKind::Other, kNoTransfer);
  curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT, static_cast<long>(kConnectTimeout.count()));
  LimitedBody body;
  easy.ReceiveAnyBodyInto([&body](const char* data, std::size_t size) { return body.Append(data, size); });
  const net::TransferOutcome outcome = easy.Perform();
  if (!outcome.Completed()) return FailureOf(outcome, body.tooLarge);
  WebAnswer answer;
  answer.status = outcome.httpStatus;
  answer.body = std::move(body.text);
  answer.header = easy.Header(headerName);
  char* target = nullptr;
  if (answer.status >= 300 && answer.status < 400 &&
      curl_easy_getinfo(easy.get(), CURLINFO_REDIRECT_URL, &target) == CURLE_OK && target != nullptr) {
    answer.redirect = target;
  }
  return answer;
}

Result<std::string> FetchDocument(const std::string& url, std::size_t maxBytes, std::chrono::seconds connectTimeout) {
  net::CurlEasy easy;
  if (!easy) return Fail(FailureKind::Other, net::DescribeFailure(CURLE_FAILED_INIT, 0, nullptr));
  curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy.get(), CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(easy.get(), CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy.get(), CURLOPT_CONNECTTIMEOUT, static_cast<long>(connectTimeout.count()));
  std::string body;
  bool tooLarge = false;
  easy.ReceiveSuccessBodyInto([&](const char* data, std::size_t size) {
    tooLarge = size > maxBytes - body.size();
    if (!tooLarge) body.append(data, size);
    return !tooLarge;
  });
  const net::TransferOutcome outcome = easy.Perform();
  if (outcome.Succeeded()) return body;
  if (tooLarge) return Fail(FailureKind::TooLarge, "larger than " + std::to_string(maxBytes) + " bytes");
  if (outcome.httpStatus >= 400) {
    const bool gone = outcome.httpStatus == 404 || outcome.httpStatus == 410;
    return Fail(gone ? FailureKind::NotFound : FailureKind::Refused, outcome.reason);
  }
  return FailureOf(outcome, false);
}

std::string StatsEventUrl(std::string_view eventName) {
  const std::string service = StatsServiceBase();
  if (service.empty()) return {};
  // The page the event stands for: the maker's site with the event as its last segment.
  return service + "/wapstat.php?siteid=" + PercentEncode(StatsSiteId()) + "&r=" +
         PercentEncode(ClientSiteUrl() + "/") + PercentEncode(eventName) + "&rnd=12345";
}

bool SendStatsEvent(std::string_view eventName, const std::atomic<bool>* cancel) {
  const std::string url = StatsEventUrl(eventName);
  if (url.empty()) return false;
  std::string reply;
  return FetchIntoString(reply, url, true, ClientSiteUrl(), cancel);
}

}  // namespace kv
