#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "net/transfers.h"
#include "util/result.h"

// How the account code reaches account servers: a GET that also reads the API location header
// and reports a redirect without following it, a JSON POST, and for the Microsoft sign-in any
// request with its own headers, which the sign-in may abandon. The launcher goes over the
// network (verified HTTPS); tests may answer in place of a server.
namespace kv {

struct AccountReply {
  long status = 0;
  std::string body{};         // at most 1 MiB
  std::string apiLocation{};  // the X-Authlib-Injector-API-Location header of a GET's answer
  std::string redirect{};     // a GET answered with a redirect: its target, as a whole address

  bool Succeeded() const { return status >= 200 && status < 300; }
};

// Without an answer the failure says why, for the player: the server cannot be reached
// (Unreachable), its answer is too large (TooLarge), the caller abandoned it (Cancelled), or it
// took too long (any other kind).
struct AccountTransport {
  std::function<Result<AccountReply>(const std::string& url)> get;
  std::function<Result<AccountReply>(const std::string& url, const std::string& document)> post;
  std::function<Result<AccountReply>(const WebRequest& request, const std::atomic<bool>* cancel)> send;

  static AccountTransport Network();
};

}  // namespace kv
