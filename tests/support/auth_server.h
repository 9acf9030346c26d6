#pragma once

#include <memory>
#include <string>

namespace kv::test {

// A local HTTPS account service on 127.0.0.1 with the test certificate of tests/fixtures/tls
// (clients trust it through KORVANE_CA_BUNDLE). It accepts one user name and password, answers
// others with the service's error reply, and counts the requests it received. A successful
// sign-in gets `accessToken`.
class AuthServer {
 public:
  AuthServer(std::string user, std::string password, std::string accessToken = kAccessToken);
  ~AuthServer();
  AuthServer(const AuthServer&) = delete;
  AuthServer& operator=(const AuthServer&) = delete;

  // "https://127.0.0.1:<port>", the value for KORVANE_AUTH_SERVER.
  std::string BaseUrl() const;
  int Requests() const;

  static constexpr const char* kAccessToken = "0123456789abcdef0123456789abcdef";
  static constexpr const char* kProfileId = "4566e69fc90748ee8d71d7ba5aa00d20";
  static constexpr const char* kProfileName = "Steve";
  static constexpr const char* kErrorMessage = "Invalid credentials. Invalid username or password.";

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kv::test
