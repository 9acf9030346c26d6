#pragma once

#include <curl/curl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The plumbing shared by every transfer of this folder: an easy handle with the options that
// all transfers have in common, and the outcome of one transfer.
namespace kv::net {

struct TransferOutcome {
  CURLcode code = CURLE_FAILED_INIT;
  long httpStatus = 0;  // 0 when no answer arrived
  std::string reason;   // why it failed, for messages and logs; empty on success

  // The exchange finished, whatever the HTTP status.
  bool Completed() const { return code == CURLE_OK; }
  // Finished with a success status (2xx).
  bool Succeeded() const { return Completed() && httpStatus >= 200 && httpStatus < 300; }
};

// Receives body bytes; returns false to stop the transfer (a failed write).
using BodyWriter = std::function<bool(const char* data, std::size_t size)>;

// Told the body's expected total (0 while unknown) and how much has arrived so far, often
// (at least once a second, also while nothing arrives); returns false to abort the transfer.
using ProgressHandler = std::function<bool(std::int64_t total, std::int64_t received)>;

// Where a transfer finds connections to reuse: among those that earlier transfers of the
// calling thread left open, or in the multi handle the transfer is added to.
enum class Connections { OfThisThread, OfTheMultiHandle };

// One easy handle, owned by one call. It reuses open connections, verifies HTTPS peers against
// the system's store plus the configured extra bundle, never raises signals, and gives up when
// nothing arrives for the stall time.
class CurlEasy {
 public:
  explicit CurlEasy(Connections connections = Connections::OfThisThread);
  ~CurlEasy();
  CurlEasy(const CurlEasy&) = delete;
  CurlEasy& operator=(const CurlEasy&) = delete;

  explicit operator bool() const { return handle_ != nullptr; }
  CURL* get() const { return handle_; }

  // Sends the body to `writer`, but only the body of a success answer: an error page (or a
  // redirect page) is refused before its first byte and the transfer fails with its status.
  void ReceiveSuccessBodyInto(BodyWriter writer);
  // Sends every body to `writer`, whatever the status (for services that explain their
  // refusals in the body).
  void ReceiveAnyBodyInto(BodyWriter writer);

  // Gives up when less than one byte a second arrives for `seconds` (0: never).
  void SetStallTimeout(long seconds);

  void SetProgressHandler(ProgressHandler handler);

  // Runs the transfer on the calling thread.
  TransferOutcome Perform();
  // For a transfer run by a multi handle: call Begin() before it is added, and Finish() with
  // the result the multi handle reported.
  void Begin();
  TransferOutcome Finish(CURLcode code);

  // The status of the answer under way (0 before one arrives).
  long HttpStatus() const;
  // The value of a header of the answer under way; empty when it has none.
  std::string Header(const char* name) const;

 private:
  static std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* self);
  static int ReportProgress(void* self, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t, curl_off_t);

  CURL* handle_;
  BodyWriter writer_;
  ProgressHandler progress_;
  bool successOnly_ = true;
  bool refusedStatus_ = false;
  char error_[CURL_ERROR_SIZE] = {};
};

// "HTTP 404" and the like; curl's own text for transfer errors.
std::string DescribeFailure(CURLcode code, long httpStatus, const char* detail);

}  // namespace kv::net
