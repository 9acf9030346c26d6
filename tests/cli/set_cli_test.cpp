// korvane-cli set: the settings dialog's checks and account sign-in, headless.
#include <gtest/gtest.h>

#include "auth/stored_credentials.h"
#include "tests/support/auth_server.h"
#include "tests/support/fixtures.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

class SetCli : public ::testing::Test {
 protected:
  test::CommandResult Run(const std::vector<std::string>& args, const std::string& input = {}) {
    return test::RunCommand(KORVANE_CLI, args,
                            {"KORVANE_HOME=" + home_.Path(), "JAVA_HOME=", "PATH=/nonexistent",
                             "KORVANE_AUTH_SERVER=" + authUrl_, "KORVANE_CA_BUNDLE=" + test::FixturePath("tls/ca.pem")},
                            input);
  }
  std::string Setting(const std::string& key) {
    const std::string out = Run({"settings", "--reveal"}).out;
    const std::size_t at = out.find(key + "=");
    if (at == std::string::npos) return "<missing>";
    const std::size_t from = at + key.size() + 1;
    return out.substr(from, out.find('\n', from) - from);
  }

  test::TempFolder home_;
  std::string authUrl_ = "https://127.0.0.1:1";
};

TEST_F(SetCli, ChangesSettingsAndRefusesWhatTheDialogRefuses) {
  test::CommandResult result = Run({"set", "UserName", "Alex", "isshowcmd", "true", "GamePath", home_ / "games"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, msg::SettingsSaved("UserName, isshowcmd, GamePath") + "\n");
  EXPECT_EQ(Setting("UserName"), "Alex");
  EXPECT_EQ(Setting("IsShowCmd"), "true");
  EXPECT_EQ(Setting("GamePath"), home_ / "games/");
  EXPECT_TRUE(PathExists(home_ / "games/"));

  const std::string before = test::ReadFile(home_ / "KvCfg.ini");
  result = Run({"set", "IsAutoMallocMemory", "false", "JVMMemoryMin", "4096", "JVMMemoryMax", "1024"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, std::string("korvane-cli: ") + msg::kMemoryMinAboveMax + "\n");
  EXPECT_EQ(Run({"set", "JavaVer", "1.8"}).err, std::string("korvane-cli: ") + msg::kJavaVerFollowsJavaPath + "\n");
  EXPECT_EQ(Run({"set", "JavaPath", home_ / "KvCfg.ini"}).status, 1);
  EXPECT_EQ(Run({"set", "UserName"}).status, 2);
  EXPECT_EQ(Run({"set"}).status, 2);
  EXPECT_EQ(test::ReadFile(home_ / "KvCfg.ini"), before);
}

TEST_F(SetCli, APasswordFromStandardInputSignsTheGenuineAccountInFirst) {
  test::AuthServer::Options options;
  options.accessToken = std::string(2000, 't');
  test::AuthServer server("steve@example.com", "right password", options);
  authUrl_ = server.BaseUrl();
  const std::string before = test::ReadFile(home_ / "KvCfg.ini");
  test::CommandResult result =
      Run({"set", "UserName", "steve@example.com", "IsGenuine", "true", "--password"}, "wrong password\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find(msg::kSignInFailedPrefix), std::string::npos) << result.err;
  EXPECT_EQ(test::ReadFile(home_ / "KvCfg.ini"), before);

  result = Run({"set", "UserName", "steve@example.com", "IsGenuine", "true", "--password"}, "right password\n");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(Setting("PWD"), "right password");
  EXPECT_EQ(Setting("IsGenuine"), "true");
  EXPECT_EQ(server.PasswordRequests(), 2);
  // Nothing about the account changed: no sign-in.
  EXPECT_EQ(Run({"set", "IsShowCmd", "true"}).status, 0);
  EXPECT_EQ(server.PasswordRequests(), 2);
  // A modern service's long token came through the sign-in and the later save whole.
  StoredCredentials stored;
  InitStoredCredentials(stored, home_ / "KvCfg.ini");
  LoadStoredCredentials(stored);
  EXPECT_EQ(stored.accessToken, std::string(2000, 't'));
}

TEST_F(SetCli, AnotherAccountServerGetsNothingGivenForTheOldOne) {
  test::AuthServer old("steve@example.com", "right password");
  authUrl_ = "";  // the setting alone names the server
  ASSERT_EQ(Run({"set", "AuthServer", old.BaseUrl(), "UserName", "steve@example.com", "IsGenuine", "true", "--password"},
                "right password\n")
                .status,
            0);
  EXPECT_EQ(Setting("PWD"), "right password");

  test::AuthServer other("alex@example.com", "other password");
  test::CommandResult result = Run({"set", "AuthServer", other.BaseUrl()});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.err.find(msg::kAccountClearedForNewServer), std::string::npos) << result.err;
  EXPECT_EQ(Setting("PWD"), "");
  EXPECT_EQ(Setting("UserName"), "Player");
  EXPECT_EQ(Setting("IsGenuine"), "true");
  StoredCredentials stored;
  InitStoredCredentials(stored, home_ / "KvCfg.ini");
  LoadStoredCredentials(stored);
  EXPECT_EQ(stored.accessToken, "");
  EXPECT_EQ(other.PasswordRequests(), 0);
  EXPECT_EQ(old.PasswordRequests(), 1);

  // Given along with the server, a name and password are that server's: signed in there.
  result = Run({"set", "AuthServer", other.BaseUrl() + "/", "UserName", "alex@example.com", "--password"}, "other password\n");
  EXPECT_EQ(result.status, 0) << result.err;
  result = Run({"set", "UserName", "alex@example.com", "AuthServer", old.BaseUrl(), "--password"}, "other password\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(other.PasswordRequests(), 1);
  EXPECT_EQ(old.PasswordRequests(), 2);
}

TEST_F(SetCli, AServersWordsReachTheTerminalWithoutItsEscapes) {
  test::AuthServer::Options options;
  options.errorMessage = "\x1b]0;pwned\x07\x1b[2JInvalid credentials.";
  test::AuthServer server("steve@example.com", "right password", options);
  authUrl_ = server.BaseUrl();
  const test::CommandResult result = Run({"login", "steve@example.com"}, "wrong password\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("错误信息:?]0;pwned??[2JInvalid credentials."), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find('\x1b'), std::string::npos);
}

}  // namespace
}  // namespace kv
