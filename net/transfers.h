#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/result.h"

// The launcher's HTTP exchanges. Each call owns its transfer, runs it on the calling thread
// and returns a plain result; calls on different threads do not interact. Only a complete
// answer with a success status (2xx) counts as success: an error page is never taken for the
// file or text that was asked for. Replies kept in memory fail beyond 1 MiB.
namespace kv {

// How long a transfer waits for its connection unless told otherwise.
inline constexpr std::chrono::seconds kConnectTimeout{10};

// Downloads `url` to `path`, creating the folders on the way. The body goes to a temporary
// file beside `path` that replaces `path` only when the whole answer has arrived, so a
// failure leaves an earlier copy as it was. Io, without any transfer, when `path` is an
// existing folder or its folder cannot be written. Gives up when no connection is made
// within `connectTimeout` (Unreachable, TimedOut), or when nothing arrives for 30 seconds (as
// every transfer here does), and stops as soon as the body passes `maxBytes` (TooLarge; 0: no
// limit); an announced length beyond it is refused before the first byte.
Status DownloadToFile(const std::string& path, const std::string& url,
                      std::chrono::seconds connectTimeout = kConnectTimeout, std::uint64_t maxBytes = 0);

// Fetches `url` into `body` (replaced, grown as needed), giving up when no connection is made
// within 10 seconds. Setting `cancel` abandons the transfer at once (false).
bool FetchToBuffer(std::string& body, const std::string& url, const std::atomic<bool>* cancel = nullptr);

// The length the server announces for `url` (a HEAD request, no redirects followed), or -1
// when the request failed, was answered with an error status or announced no length. Setting
// `cancel` abandons the request at once (-1).
std::int64_t QueryRemoteSize(const std::string& url, const std::atomic<bool>* cancel = nullptr,
                             std::chrono::seconds connectTimeout = kConnectTimeout);

// The answer of a service, whatever its status.
struct WebAnswer {
  long status = 0;
  std::string body;      // at most 1 MiB
  std::string header;    // the value of the header asked for; empty when it was not sent
  std::string redirect;  // a redirect's target, as a whole address; empty for any other answer
};

// The exchanges with account services. Without a complete answer they fail with the kind
// Unreachable (no connection came about: the host is unknown, refused it, or failed its TLS
// check), TimedOut (the connection or the answer took too long), TooLarge (an answer beyond
// 1 MiB), Cancelled (the caller abandoned it) or Other (it broke off); the failure's text is libcurl's reason, for the log, and the
// caller words it for the player. HTTPS peers are verified and no redirect is followed, so
// nothing goes anywhere the caller did not choose.

// Posts a JSON document to `url`. Any status is an answer: the service explains a refusal in
// the body.
Result<WebAnswer> PostJson(const std::string& url, std::string_view document);

// A request to a service: a GET, or with a content type a POST of `body`; `headers` go as they
// stand ("Name: value").
struct WebRequest {
  std::string url;
  std::string contentType;
  std::string body;
  std::vector<std::string> headers;
};

// Sends `request`; any status is an answer, as for PostJson. Setting `cancel` abandons the
// exchange at once (Cancelled).
Result<WebAnswer> Exchange(const WebRequest& request, const std::atomic<bool>* cancel = nullptr);

// The answer to a GET of `url` with the value of the header `headerName`; a redirect is
// reported, not followed.
Result<WebAnswer> FetchAnswer(const std::string& url, const char* headerName);

// A document of a known kind fetched into memory with a bound of its own (a loader's version
// list runs to megabytes): the body of a success answer to a GET of `url`, redirects followed
// over http and https only. Otherwise a failure whose text is the technical reason ("HTTP
// 404", curl's text): NotFound for 404 and 410, Refused for any other error status, TooLarge
// once the body grows beyond `maxBytes`, Unreachable or TimedOut when no answer came.
Result<std::string> FetchDocument(const std::string& url, std::size_t maxBytes,
                                  std::chrono::seconds connectTimeout = kConnectTimeout);

// The address of a statistics event at the configured analytics service: its "/wapstat.php"
// with the site id, the page (the maker's site, percent-encoded, with the event name as its
// last segment) and "&rnd=12345". Empty while no service is configured.
std::string StatsEventUrl(std::string_view eventName);

// Sends a statistics event ("open", "LaunchGame") to the configured statistics address.
// Does nothing, and returns false, while no address is configured. Setting `cancel` abandons
// the request at once.
bool SendStatsEvent(std::string_view eventName, const std::atomic<bool>* cancel = nullptr);

}  // namespace kv
