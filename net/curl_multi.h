#pragma once

#include <curl/curl.h>

#include <chrono>

// Many transfers on one thread: libcurl's multi interface. The transfers added to one multi
// handle share its connections (kept alive between transfers to the same host, and several
// transfers over one HTTP/2 connection where the server offers it).
namespace kv::net {

class CurlMulti {
 public:
  CurlMulti();
  ~CurlMulti();
  CurlMulti(const CurlMulti&) = delete;
  CurlMulti& operator=(const CurlMulti&) = delete;

  explicit operator bool() const { return handle_ != nullptr; }

  bool Add(CURL* easy);
  void Remove(CURL* easy);

  // Moves every added transfer on as far as it goes without waiting.
  void Perform();
  // A transfer that has ended since the last call, with its result; false when there is none.
  bool NextEnded(CURL*& easy, CURLcode& result);
  // Waits until a transfer can move on, `timeout` passes or Wakeup() is called.
  void Wait(std::chrono::milliseconds timeout);
  // From any thread: ends a Wait() at once.
  void Wakeup();

 private:
  CURLM* handle_;
};

}  // namespace kv::net
