// korvane-cli login --microsoft, set AuthServer microsoft and logout against the local stand-in
// of Microsoft's, Xbox Live's and the game's hosts.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>

#include "auth/microsoft_account_file.h"
#include "tests/net/net_test_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/microsoft_server.h"
#include "tests/support/run_command.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

using test::MicrosoftServer;

class MicrosoftCli : public ::testing::Test {
 protected:
  std::vector<std::string> Environment() const {
    return {"KORVANE_HOME=" + home_.Path(), "JAVA_HOME=", "PATH=/nonexistent",
            "KORVANE_OFFICIAL_ROOT=" + (server_ ? server_->BaseUrl() : std::string("https://127.0.0.1:9")),
            "KORVANE_CA_BUNDLE=" + test::FixturePath("tls/ca.pem"), "KORVANE_MSA_CLIENT_ID=" + clientId_};
  }
  test::CommandResult Run(const std::vector<std::string>& args) {
    return test::RunCommand(KORVANE_CLI, args, Environment());
  }
  std::string Setting(const std::string& key) {
    const std::string out = Run({"settings"}).out;
    const std::size_t at = out.find("\n" + key + "=");
    if (at == std::string::npos) return "<missing>";
    const std::size_t from = at + key.size() + 2;
    return out.substr(from, out.find('\n', from) - from);
  }
  std::string AccountPath() const { return MicrosoftAccountPath(home_ / "KvCfg.ini"); }

  test::TempFolder home_;
  std::unique_ptr<MicrosoftServer> server_;
  std::string clientId_ = MicrosoftServer::kClientId;
};

std::string LastLine(const std::string& out) {
  const std::string text = out.ends_with('\n') ? out.substr(0, out.size() - 1) : out;
  return text.substr(text.rfind('\n') + 1);
}

TEST_F(MicrosoftCli, TheCodeReachesAPipeAtOnceAndTheProfileNameEndsTheSignIn) {
  server_ = std::make_unique<MicrosoftServer>(MicrosoftServer::Options{.holdPolls = true, .expiresIn = 120});
  // A pipe, through the environment the shell passes on: the code must come through it while
  // the sign-in still waits for the player.
  std::vector<std::unique_ptr<test::ScopedEnvironment>> environment;
  for (const std::string& entry : Environment()) {
    const std::size_t equals = entry.find('=');
    environment.push_back(std::make_unique<test::ScopedEnvironment>(entry.substr(0, equals).c_str(), entry.substr(equals + 1)));
  }
  FILE* pipe = ::popen((std::string("'") + KORVANE_CLI + "' login --microsoft 2>&1").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char line[1024];
  while (out.find(MicrosoftServer::kUserCode) == std::string::npos && std::fgets(line, sizeof line, pipe) != nullptr) {
    out += line;
  }
  EXPECT_NE(out.find(MicrosoftServer::kVerificationUri), std::string::npos) << out;
  EXPECT_NE(out.find(MicrosoftServer::kUserCode), std::string::npos) << out;
  // Still waiting: no token has been given yet.
  EXPECT_TRUE(server_->GameToken().empty());
  server_->ReleasePolls();
  while (std::fgets(line, sizeof line, pipe) != nullptr) out += line;
  const int status = ::pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << out;
  EXPECT_EQ(LastLine(out), MicrosoftServer::kProfileName) << out;
  environment.clear();

  EXPECT_EQ(Setting("AuthServer"), "microsoft");
  EXPECT_EQ(Setting("IsGenuine"), "true");
  const Result<MicrosoftAccount> kept = LoadMicrosoftAccount(AccountPath());
  ASSERT_TRUE(kept) << kept.message();
  EXPECT_EQ(kept->accessToken, server_->GameToken());
  struct stat info {};
  ASSERT_EQ(::stat(AccountPath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  // The tokens stay out of the settings file.
  EXPECT_EQ(test::ReadFile(home_ / "KvCfg.ini").find(server_->RefreshToken()), std::string::npos);

  test::CommandResult result = Run({"logout"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, std::string(msg::kMsaSignedOut) + "\n");
  EXPECT_FALSE(PathExists(AccountPath()));
  result = Run({"logout"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, std::string(msg::kMsaNotSignedInYet) + "\n");
}

TEST_F(MicrosoftCli, ARefusedSignInSaysWhyAndChangesNoSetting) {
  server_ = std::make_unique<MicrosoftServer>(MicrosoftServer::Options{.ownsGame = false});
  ASSERT_EQ(Run({"set", "UserName", "Alex"}).status, 0);
  const std::string before = test::ReadFile(home_ / "KvCfg.ini");
  const test::CommandResult result = Run({"login", "--microsoft"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, std::string("korvane-cli: ") + msg::kMsaNoGame + "\n");
  EXPECT_EQ(test::ReadFile(home_ / "KvCfg.ini"), before);
  EXPECT_FALSE(PathExists(AccountPath()));
}

TEST_F(MicrosoftCli, WithoutAnApplicationIdTheChoiceSaysHowToGiveOne) {
  clientId_.clear();
  for (const std::vector<std::string>& args : {std::vector<std::string>{"login", "--microsoft"},
                                               std::vector<std::string>{"set", "AuthServer", "microsoft"}}) {
    const test::CommandResult result = Run(args);
    EXPECT_EQ(result.status, 1) << args[0];
    EXPECT_EQ(result.err, std::string("korvane-cli: ") + msg::kMsaNoClientId + "\n") << args[0];
  }
  EXPECT_EQ(Setting("AuthServer"), "");

  // The setting gives one.
  test::CommandResult result = Run({"set", "MsaClientId", "11111111-2222-3333-4444-555555555555", "AuthServer", "microsoft"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(Setting("AuthServer"), "microsoft");
  EXPECT_EQ(Setting("MsaClientId"), "11111111-2222-3333-4444-555555555555");
}

TEST_F(MicrosoftCli, ChoosingMicrosoftAsksForNoPasswordAndSaysHowToSignIn) {
  const test::CommandResult result = Run({"set", "IsGenuine", "true", "AuthServer", "microsoft"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, std::string("korvane-cli: ") + msg::kMsaNotSignedIn + "\n");
  EXPECT_EQ(Setting("AuthServer"), "microsoft");
}

}  // namespace
}  // namespace kv
