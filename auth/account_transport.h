#pragma once

#include <functional>
#include <string>

// How the account code reaches account servers: a GET that also reads the API location
// header, and a JSON POST. The launcher goes over the network (verified HTTPS); tests may
// answer in place of a server.
namespace kv {

struct AccountReply {
  bool answered = false;    // a complete answer arrived, whatever its status
  long status = 0;
  std::string body;         // at most 1 MiB
  std::string apiLocation;  // the X-Authlib-Injector-API-Location header of a GET's answer

  bool Succeeded() const { return answered && status >= 200 && status < 300; }
};

struct AccountTransport {
  std::function<AccountReply(const std::string& url)> get;
  std::function<AccountReply(const std::string& url, const std::string& document)> post;

  static AccountTransport Network();
};

}  // namespace kv
