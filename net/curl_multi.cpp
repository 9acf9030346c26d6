#include "net/curl_multi.h"

namespace kv::net {

CurlMulti::CurlMulti() : handle_(curl_multi_init()) {
  if (handle_ != nullptr) curl_multi_setopt(handle_, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
}

CurlMulti::~CurlMulti() {
  if (handle_ != nullptr) curl_multi_cleanup(handle_);
}

bool CurlMulti::Add(CURL* easy) { return curl_multi_add_handle(handle_, easy) == CURLM_OK; }

void CurlMulti::Remove(CURL* easy) { curl_multi_remove_handle(handle_, easy); }

void CurlMulti::Perform() {
  int running = 0;
  curl_multi_perform(handle_, &running);
}

bool CurlMulti::NextEnded(CURL*& easy, CURLcode& result) {
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(handle_, &left)) {
    if (message->msg != CURLMSG_DONE) continue;
    easy = message->easy_handle;
    result = message->data.result;
    return true;
  }
  return false;
}

void CurlMulti::Wait(std::chrono::milliseconds timeout) {
  curl_multi_poll(handle_, nullptr, 0, static_cast<int>(timeout.count()), nullptr);
}

void CurlMulti::Wakeup() { curl_multi_wakeup(handle_); }

}  // namespace kv::net
