// A whole launch through korvane-cli: a local mirror serves a tiny version whose "game" is a
// Java class compiled here, local HTTPS account servers sign genuine players in, a local
// stand-in of the agent's distribution serves a test agent, and the real java runs the game.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/profile_store.h"
#include "settings/instance_commands.h"
#include "tests/net/mirror_process.h"
#include "tests/support/agent_server.h"
#include "tests/support/auth_server.h"
#include "tests/support/fixtures.h"
#include "tests/support/microsoft_server.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/base64.h"
#include "util/digest.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kVersion = "demo-1.0";

std::string Java(const std::string& tool) {
  for (const char* folder : {"/usr/lib/jvm/default-java/bin/", "/usr/bin/"}) {
    if (PathExists(std::string(folder) + tool)) return std::string(folder) + tool;
  }
  return tool;
}

// The demo version of tools/demo, made once for the whole suite.
class LaunchEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new test::TempFolder;
    auto made = test::RunCommand(KORVANE_SOURCE_DIR "/tools/demo/make-demo-mirror", {root_->Path() + "mirror"});
    ASSERT_EQ(made.status, 0) << made.err;
  }
  static void TearDownTestSuite() { delete root_; }

  void SetUp() override {
    mirror_ = std::make_unique<test::MirrorProcess>(root_->Path() + "mirror");
    ASSERT_TRUE(mirror_->Started());
    settings_ = home_ / "KvCfg.ini";
    ASSERT_EQ(AddInstance(settings_, home_ / ".minecraft/", "生存 1", kVersion).status,
              InstanceCommandStatus::Done);
    profile::WriteString(settings_, "KvCfg", "JavaPath", Java("java"));
  }

  test::CommandResult Launch(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args{"launch", "生存 1"};
    args.insert(args.end(), extra.begin(), extra.end());
    return Cli(args);
  }

  // Without a server of the test's own, the account server is the AuthServer setting and the
  // agent's distribution a port where nothing answers: nothing goes beyond this machine.
  // The Microsoft sign-in's hosts are those of the stand-in when the test has one.
  test::CommandResult Cli(const std::vector<std::string>& args, const std::string& input = {}) {
    std::vector<std::string> environment{
        "KORVANE_HOME=" + home_.Path(), "KORVANE_SOURCE=mirror", "KORVANE_MIRROR=" + mirror_->BaseUrl(),
        "KORVANE_AUTH_SERVER=" + (auth_ ? auth_->BaseUrl() : std::string()),
        "KORVANE_AUTHLIB_INJECTOR_URL=" + (agent_ ? agent_->BaseUrl() : std::string("https://127.0.0.1:9")),
        "KORVANE_CA_BUNDLE=" + test::FixturePath("tls/ca.pem"), "KORVANE_STATS_URL=", "KORVANE_TEST_EXIT=5"};
    if (microsoft_) {
      environment.push_back("KORVANE_OFFICIAL_ROOT=" + microsoft_->BaseUrl());
      environment.push_back(std::string("KORVANE_MSA_CLIENT_ID=") + test::MicrosoftServer::kClientId);
    }
    return test::RunCommand(KORVANE_CLI, args, environment, input);
  }

  // An authlib-injector server as the player's AuthServer, and the test agent published.
  std::unique_ptr<test::AuthServer> InjectorServer() {
    test::AuthServer::Options options;
    options.kind = test::AuthServer::Kind::AuthlibInjector;
    options.homeLocation = test::AuthServer::Location::Relative;
    auto server = std::make_unique<test::AuthServer>("steve@example.com", "right password", options);
    profile::WriteString(settings_, "KvCfg", "AuthServer", server->BaseUrl());
    agent_ = std::make_unique<test::AgentServer>(test::ReadFile(KORVANE_TEST_AGENT_JAR),
                                                 Sha256HexOfFile(KORVANE_TEST_AGENT_JAR).value_or(""));
    return server;
  }

  static std::string LongToken() { return "eyJhbGciOiJIUzI1NiJ9." + std::string(1979, 'x'); }

  void SignInAs(const std::string& user, const std::string& password) {
    // A modern service's token: about 2,000 characters.
    test::AuthServer::Options options;
    options.accessToken = LongToken();
    auth_ = std::make_unique<test::AuthServer>("steve@example.com", "right password", options);
    profile::WriteString(settings_, "KvCfg", "IsGenuine", "true");
    profile::WriteString(settings_, "KvCfg", "UserName", EncodeSettingsText(user));
    profile::WriteString(settings_, "KvCfg", "PWD", EncodeSettingsText(password));
  }

  // The value that follows `option` in the game's printed arguments.
  static std::string ArgumentAfter(const std::string& out, const std::string& option) {
    std::size_t at = out.find("]=" + option + "\n");
    if (at == std::string::npos) return "<missing " + option + ">";
    std::size_t start = out.find("]=", at + 2 + option.size()) + 2;
    return out.substr(start, out.find('\n', start) - start);
  }

  static test::TempFolder* root_;
  test::TempFolder home_;
  std::string settings_;
  std::unique_ptr<test::MirrorProcess> mirror_;
  std::unique_ptr<test::AuthServer> auth_;
  std::unique_ptr<test::AgentServer> agent_;
  std::unique_ptr<test::MicrosoftServer> microsoft_;
};

test::TempFolder* LaunchEndToEnd::root_ = nullptr;

TEST_F(LaunchEndToEnd, OfflineLaunchDownloadsUnpacksAndRunsTheGame) {
  test::CommandResult result = Launch();
  ASSERT_EQ(result.status, 5) << result.err << result.out;
  const std::string& out = result.out;
  std::string instance = fs::canonical(home_ / "Instance/生存 1").string();
  EXPECT_EQ(ArgumentAfter(out, "--username"), "Player");
  EXPECT_EQ(ArgumentAfter(out, "--version"), kVersion);
  EXPECT_EQ(fs::canonical(ArgumentAfter(out, "--gameDir")).string(), instance);
  EXPECT_EQ(ArgumentAfter(out, "--assetIndex"), "demo-index");
  EXPECT_EQ(ArgumentAfter(out, "--accessToken"), "{}");
  EXPECT_EQ(ArgumentAfter(out, "--userType"), "legacy");
  EXPECT_NE(out.find("user.dir=" + instance + "\n"), std::string::npos) << out;
  EXPECT_NE(out.find("native=linux natives unpacked\n"), std::string::npos) << out;
  EXPECT_NE(out.find("stderr: the game says hello\n"), std::string::npos) << out;
  EXPECT_EQ(test::ReadFile(home_ / "Instance/生存 1/options.txt"), "lang:zh_CN");
  EXPECT_TRUE(PathExists(home_ / ".minecraft/libraries/org/korvane/plain/1.0/plain-1.0.jar"));
  // The library that exists only for another system was never asked for.
  EXPECT_FALSE(PathExists(home_ / ".minecraft/libraries/org/korvane/windows-only"));
  EXPECT_EQ(mirror_->CountRequests("GET", "/libs/org/korvane/windows-only/1.0/windows-only-1.0.jar"), 0);

  // Everything is in place now: the second launch fetches no file.
  test::CommandResult again = Launch();
  EXPECT_EQ(again.status, 5) << again.err;
  EXPECT_EQ(mirror_->CountRequests("GET", "/versions/demo-1.0/demo-1.0.jar"), 1);
}

TEST_F(LaunchEndToEnd, GenuineLaunchUsesTheSignedInProfile) {
  SignInAs("steve@example.com", "right password");
  test::CommandResult result = Launch();
  ASSERT_EQ(result.status, 5) << result.err << result.out;
  EXPECT_EQ(ArgumentAfter(result.out, "--username"), test::AuthServer::kProfileName);
  EXPECT_EQ(ArgumentAfter(result.out, "--accessToken"), LongToken());
  EXPECT_EQ(ArgumentAfter(result.out, "--uuid"), test::AuthServer::kProfileId);
  EXPECT_EQ(ArgumentAfter(result.out, "--userType"), "mojang");
  EXPECT_EQ(auth_->PasswordRequests(), 1);
  // A plain service's players need no agent.
  EXPECT_EQ(result.out.find("agent."), std::string::npos);
}

TEST_F(LaunchEndToEnd, AMicrosoftAccountPlaysGenuineAndStaysSignedInWithoutThePlayer) {
  using test::MicrosoftServer;
  microsoft_ = std::make_unique<MicrosoftServer>(
      MicrosoftServer::Options{.polls = {"authorization_pending", "authorization_pending", "slow_down"}});
  test::CommandResult login = Cli({"login", "--microsoft"});
  ASSERT_EQ(login.status, 0) << login.err << login.out;
  EXPECT_TRUE(login.out.ends_with(std::string("\n") + MicrosoftServer::kProfileName + "\n")) << login.out;

  const auto expectGenuine = [&](const test::CommandResult& result) {
    ASSERT_EQ(result.status, 5) << result.err << result.out;
    EXPECT_EQ(ArgumentAfter(result.out, "--username"), MicrosoftServer::kProfileName);
    EXPECT_EQ(ArgumentAfter(result.out, "--uuid"), MicrosoftServer::kProfileId);
    EXPECT_EQ(ArgumentAfter(result.out, "--accessToken"), microsoft_->GameToken());
    EXPECT_EQ(ArgumentAfter(result.out, "--userType"), "msa");
    EXPECT_EQ(ArgumentAfter(result.out, "--xuid"), MicrosoftServer::kXuid);
    EXPECT_EQ(ArgumentAfter(result.out, "--clientId"), MicrosoftServer::kClientId);
  };
  std::size_t asked = microsoft_->Requests().size();
  expectGenuine(Launch());
  // The game token is fresh: no request at all.
  EXPECT_EQ(microsoft_->Requests().size(), asked);

  // A day later the game token has ended: the refresh token renews it without the player.
  const std::string accountPath = home_ / "MicrosoftAccount.json";
  std::string kept = test::ReadFile(accountPath);
  const std::size_t expiry = kept.find("\"expiresAt\"");
  ASSERT_NE(expiry, std::string::npos) << kept;
  kept.replace(expiry, kept.find_first_of(",}", expiry) - expiry, "\"expiresAt\" : 1");
  test::WriteFile(accountPath, kept);
  const std::string firstToken = microsoft_->GameToken();
  expectGenuine(Launch());
  EXPECT_NE(microsoft_->GameToken(), firstToken);
  const std::vector<MicrosoftServer::Seen> requests = microsoft_->Requests();
  std::vector<std::string> renewal;
  for (std::size_t i = asked; i < requests.size(); ++i) renewal.push_back(requests[i].path);
  EXPECT_EQ(renewal, (std::vector<std::string>{MicrosoftServer::kTokenPath, MicrosoftServer::kXboxLivePath,
                                               MicrosoftServer::kXstsPath, MicrosoftServer::kGameLoginPath,
                                               MicrosoftServer::kEntitlementsPath, MicrosoftServer::kProfilePath}));

  // Signed out, the launch asks for a sign-in instead of playing.
  ASSERT_EQ(Cli({"logout"}).status, 0);
  const test::CommandResult refused = Launch();
  EXPECT_NE(refused.status, 5);
  EXPECT_NE(refused.err.find(msg::kMsaNotSignedIn), std::string::npos) << refused.err;
}

TEST_F(LaunchEndToEnd, AnAuthlibInjectorPlayerPlaysWithTheVerifiedAgentAndNoPasswordAfterLogin) {
  std::unique_ptr<test::AuthServer> server = InjectorServer();
  test::CommandResult login = Cli({"login", "steve@example.com"}, "right password\n");
  ASSERT_EQ(login.status, 0) << login.err;
  EXPECT_EQ(login.out, std::string("登录成功\n账户服务器: ") + test::AuthServer::kServerName + "\n角色: Steve\n");

  for (int launch = 1; launch <= 2; ++launch) {
    test::CommandResult result = Launch();
    ASSERT_EQ(result.status, 5) << result.err << result.out;
    // The JVM loaded the agent ahead of the game, with the API root and the metadata.
    EXPECT_EQ(result.out.substr(0, result.out.find("args=")),
              "agent.argument=" + server->ApiRoot() + "\nagent.prefetched=" + StandardBase64Encode(server->Metadata()) + "\n");
    EXPECT_EQ(ArgumentAfter(result.out, "--username"), test::AuthServer::kProfileName);
    EXPECT_EQ(ArgumentAfter(result.out, "--accessToken"), test::AuthServer::kAccessToken);
  }
  EXPECT_EQ(server->PasswordRequests(), 1);
  EXPECT_EQ(server->Requests("/api/yggdrasil/authserver/validate"), 2);
  EXPECT_EQ(agent_->IndexRequests(), 1);
  EXPECT_EQ(agent_->JarRequests(), 1);
  EXPECT_EQ(test::ReadFile(home_ / "authlib-injector.jar"), test::ReadFile(KORVANE_TEST_AGENT_JAR));
}

TEST_F(LaunchEndToEnd, LoginPicksTheNamedProfileOfSeveral) {
  test::AuthServer::Options options;
  options.profiles = {{"a1", "Alex"}, {"s1", "Steve"}};
  auth_ = std::make_unique<test::AuthServer>("steve@example.com", "right password", options);
  test::CommandResult refused = Cli({"login", "steve@example.com"}, "right password\n");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "korvane-cli: " + msg::ProfileChoiceNeeded({"Alex", "Steve"}) + "\n");
  test::CommandResult login = Cli({"login", "steve@example.com", "--profile", "Alex"}, "right password\n");
  ASSERT_EQ(login.status, 0) << login.err;
  EXPECT_EQ(login.out, "登录成功\n账户服务器: " + auth_->BaseUrl() + "\n角色: Alex\n");
  test::CommandResult result = Launch();
  ASSERT_EQ(result.status, 5) << result.err;
  EXPECT_EQ(ArgumentAfter(result.out, "--username"), "Alex");
  EXPECT_EQ(ArgumentAfter(result.out, "--uuid"), "a1");
  EXPECT_EQ(auth_->PasswordRequests(), 2);
}

TEST_F(LaunchEndToEnd, WrongPasswordStopsBeforeAnyDownload) {
  SignInAs("steve@example.com", "wrong password");
  test::CommandResult result = Launch();
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.err.find(std::string("验证失败!错误:ForbiddenOperationException 错误信息:") +
                            test::AuthServer::kErrorMessage),
            std::string::npos)
      << result.err;
  EXPECT_EQ(mirror_->Log(), "");
  EXPECT_FALSE(PathExists(home_ / ".minecraft/versions"));
}

TEST_F(LaunchEndToEnd, AHostilePlayerNameIsOneArgumentAndRunsNothing) {
  std::string trap = home_ / "pwned";
  profile::WriteString(settings_, "KvCfg", "UserName", EncodeSettingsText("a\"; touch " + trap + " #"));
  test::CommandResult result = Launch();
  ASSERT_EQ(result.status, 5) << result.err;
  EXPECT_EQ(ArgumentAfter(result.out, "--username"), "a\"; touch " + trap + " #");
  EXPECT_FALSE(PathExists(trap));
}

TEST_F(LaunchEndToEnd, DryRunPrintsTheCommandAndStartsNothing) {
  test::CommandResult result = Launch({"--dry-run"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.substr(0, result.out.find('\n')), Java("java"));
  EXPECT_NE(result.out.find("\nDemoGame\n"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("args="), std::string::npos);
}

}  // namespace
}  // namespace kv
