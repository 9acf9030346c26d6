#pragma once

#include <memory>
#include <string>

namespace kv::test {

// A local HTTPS stand-in for the distribution of the account-server agent (see
// https_server.h): the release index "/artifact/latest.json" names one jar with a SHA-256,
// and the jar is served at the address the index gives.
class AgentServer {
 public:
  // The jar's bytes and the digest the index announces for them (a wrong one for a test of
  // a damaged download).
  AgentServer(std::string jar, std::string announcedSha256);
  ~AgentServer();
  AgentServer(const AgentServer&) = delete;
  AgentServer& operator=(const AgentServer&) = delete;

  // The distribution's root, the value for KORVANE_AUTHLIB_INJECTOR_URL.
  std::string BaseUrl() const;
  // Publishes another release.
  void Publish(std::string jar, std::string announcedSha256, std::string version);

  int IndexRequests() const;
  int JarRequests() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kv::test
