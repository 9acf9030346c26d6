#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kv::test {

// A local HTTPS account server on 127.0.0.1 (see https_server.h) for one user name and
// password. It issues tokens, validates and refreshes them, binds a token to the profile a
// refresh names, and counts what it was asked. Plain, it answers at "/authenticate",
// "/validate" and "/refresh"; as an authlib-injector server it serves its metadata at its API
// root and the same actions below "<root>/authserver/", and its home page "/" may point at the
// root with the API location header.
class AuthServer {
 public:
  struct Profile {
    std::string id;
    std::string name;
  };
  enum class Kind { Plain, AuthlibInjector };
  enum class Location { None, Relative, Absolute };
  struct Options {
    Kind kind = Kind::Plain;
    Location homeLocation = Location::None;
    // One profile is selected at sign-in; of several, none is.
    std::vector<Profile> profiles{{kProfileId, kProfileName}};
    // What the API root answers; empty for the server's metadata.
    std::string metadata;
    // The first access token it issues (later ones are numbered).
    std::string accessToken = kAccessToken;
    // Where the home page sends its visitors instead of answering; empty for nowhere.
    std::string homeRedirect;
    // The errorMessage of its refusals of a sign-in.
    std::string errorMessage = kErrorMessage;
  };

  AuthServer(std::string user, std::string password, Options options);
  AuthServer(std::string user, std::string password);
  ~AuthServer();
  AuthServer(const AuthServer&) = delete;
  AuthServer& operator=(const AuthServer&) = delete;

  // "https://127.0.0.1:<port>", the address of the site.
  std::string BaseUrl() const;
  // Where the API is: the site for a plain service, "<site>/api/yggdrasil" otherwise.
  std::string ApiRoot() const;
  // The metadata document served at the API root.
  std::string Metadata() const;

  // Sign-ins with the password, and requests of every kind to one path.
  int PasswordRequests() const;
  int Requests(const std::string& path) const;
  // The newest token issued.
  std::string LastAccessToken() const;
  // The tokens issued so far no longer validate, but still refresh.
  void ExpireTokens();
  // The tokens issued so far neither validate nor refresh.
  void RevokeTokens();

  static constexpr const char* kAccessToken = "0123456789abcdef0123456789abcdef";
  static constexpr const char* kProfileId = "4566e69fc90748ee8d71d7ba5aa00d20";
  static constexpr const char* kProfileName = "Steve";
  static constexpr const char* kServerName = "测试皮肤站";
  static constexpr const char* kErrorMessage = "Invalid credentials. Invalid username or password.";

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kv::test
