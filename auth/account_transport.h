#pragma once

#include <functional>
#include <string>

#include "net/transfers.h"

// How the account code reaches account servers: a GET that also reads the API location
// header, and a JSON POST. The launcher goes over the network (verified HTTPS); tests may
// answer in place of a server.
namespace kv {

struct AccountReply {
  bool answered = false;    // a complete answer arrived, whatever its status
  long status = 0;
  std::string body;         // at most 1 MiB
  std::string apiLocation;  // the X-Authlib-Injector-API-Location header of a GET's answer
  NoAnswerReason why = NoAnswerReason::Other;  // without an answer: why none came

  bool Succeeded() const { return answered && status >= 200 && status < 300; }
};

struct AccountTransport {
  std::function<AccountReply(const std::string& url)> get;
  std::function<AccountReply(const std::string& url, const std::string& document)> post;

  static AccountTransport Network();
};

// What the player is told when a server gave no answer: that it cannot be reached, or that it
// took too long.
std::string NoAnswerMessage(const AccountReply& reply);

}  // namespace kv
