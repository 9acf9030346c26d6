#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kv::test {

// A local HTTPS stand-in (see https_server.h) of the four hosts of the Microsoft sign-in:
// login.microsoftonline.com, user.auth.xboxlive.com, xsts.auth.xboxlive.com and
// api.minecraftservices.com, all on one server that the launcher reaches through
// KORVANE_OFFICIAL_ROOT=BaseUrl() (each host's name comes first in the path). It checks every
// request as the services would (the application id, the device code, each token at the step
// that takes it) and answers a wrong one with an error, serves the replies of
// tests/fixtures/microsoft/, renews tokens, and records what it was asked.
class MicrosoftServer {
 public:
  struct Options {
    // The answers to the device code's first polls, in order ("authorization_pending",
    // "slow_down" or an error that ends the sign-in); the token follows them.
    std::vector<std::string> polls{};
    // Answers "authorization_pending" from the first poll until ReleasePolls().
    bool holdPolls = false;
    int interval = 1;
    int expiresIn = 900;
    // Given with the device code when not empty.
    std::string verificationUriComplete{};
    // XSTS refuses with this XErr (401) when not empty.
    std::string xerr{};
    // XSTS names another user hash than Xbox Live did.
    bool xstsOtherUser = false;
    // XSTS gives the Xbox user id.
    bool withXuid = true;
    // The game's token is refused as to an application not approved (403).
    bool gameLoginForbidden = false;
    bool ownsGame = true;
    bool hasProfile = true;
    // The lifetime of the game's tokens, in seconds.
    long gameTokenLifetime = 86400;
  };

  explicit MicrosoftServer(Options options);
  MicrosoftServer();
  ~MicrosoftServer();
  MicrosoftServer(const MicrosoftServer&) = delete;
  MicrosoftServer& operator=(const MicrosoftServer&) = delete;

  // "https://127.0.0.1:<port>", the value of KORVANE_OFFICIAL_ROOT.
  std::string BaseUrl() const;

  void ReleasePolls();
  // The refresh tokens issued so far are refused with "invalid_grant".
  void RevokeRefreshTokens();
  void SetGameTokenLifetime(long seconds);

  // A request as it came: its path (the host first), Authorization header and body.
  struct Seen {
    std::string path;
    std::string authorization;
    std::string body;
  };
  std::vector<Seen> Requests() const;
  int Requests(const std::string& path) const;
  std::string RefreshToken() const;  // the newest issued
  std::string GameToken() const;     // the newest issued

  static constexpr const char* kClientId = "00000000-4b1d-4c3a-9e5f-0123456789ab";
  static constexpr const char* kUserCode = "YZMYLD4K";
  static constexpr const char* kVerificationUri = "https://www.microsoft.com/link";
  static constexpr const char* kUserHash = "2535462791934583";
  static constexpr const char* kXuid = "2535405290000001";
  static constexpr const char* kProfileId = "069a79f444e94726a5befca90e38aaf5";
  static constexpr const char* kProfileName = "Notch";

  static constexpr const char* kDeviceCodePath = "/login.microsoftonline.com/consumers/oauth2/v2.0/devicecode";
  static constexpr const char* kTokenPath = "/login.microsoftonline.com/consumers/oauth2/v2.0/token";
  static constexpr const char* kXboxLivePath = "/user.auth.xboxlive.com/user/authenticate";
  static constexpr const char* kXstsPath = "/xsts.auth.xboxlive.com/xsts/authorize";
  static constexpr const char* kGameLoginPath = "/api.minecraftservices.com/authentication/login_with_xbox";
  static constexpr const char* kEntitlementsPath = "/api.minecraftservices.com/entitlements/mcstore";
  static constexpr const char* kProfilePath = "/api.minecraftservices.com/minecraft/profile";

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kv::test
