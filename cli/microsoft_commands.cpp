#include <cstdio>
#include <string>

#include "auth/microsoft_services.h"
#include "auth/microsoft_sign_in.h"
#include "auth/stored_credentials.h"
#include "cli/cli_commands.h"
#include "platform/launcher_folder.h"
#include "play/launch_sequence.h"
#include "settings/settings.h"
#include "settings/settings_change.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv::cli {

int LoginWithMicrosoft(const Arguments& args) {
  if (args.size() != 1) return Usage("login --microsoft");
  CSettings settings;
  settings.Load();
  const std::string clientId = microsoft::ClientId(settings.msaClientId);
  if (clientId.empty()) return Fail(msg::kMsaNoClientId);

  DeviceCodeSignIn how;
  how.clientId = clientId;
  how.accountPath = MicrosoftAccountPath(settings.SettingsPath());
  how.showCode = [](const DeviceCode& code) {
    std::printf("网址: %s\n", code.verificationUri.c_str());
    std::printf("代码: %s\n", code.userCode.c_str());
    if (!code.verificationUriComplete.empty()) std::printf("或直接打开: %s\n", code.verificationUriComplete.c_str());
    std::printf("%s（Ctrl+C 取消）\n", msg::kMsaWaitingForPlayer);
    // The player needs the code now, also when the output goes through a pipe.
    std::fflush(stdout);
  };
  const Cancellation never;
  const Result<MicrosoftAccount> account = SignInWithDeviceCode(how, LaunchServices::Network().account, never);
  if (!account) return Fail(account.message());

  // As after any sign-in: this account is the player's now, and nothing of the previous
  // account server's stays.
  const std::string previous = settings.authServer;
  settings.authServer = kMicrosoftAuthServer;
  settings.isGenuine = true;
  ForgetAccountOfPreviousServer(settings, previous);
  if (!settings.Save() || !ForgetSignInOfOtherServers(settings.SettingsPath(), settings.authServer)) {
    return Fail(msg::kSettingsNotWritten);
  }
  std::printf("登录成功\n%s\n", account->profile.name.c_str());
  return 0;
}

namespace {

int Logout(const Arguments& args) {
  if (!args.empty()) return Usage("logout");
  const std::string path = MicrosoftAccountPath(SettingsFilePath());
  const bool signedIn = PathExists(path);
  if (const Status forgotten = ForgetMicrosoftAccount(path); !forgotten) return Fail(forgotten.message());
  std::printf("%s\n", signedIn ? msg::kMsaSignedOut : msg::kMsaNotSignedInYet);
  return 0;
}

const CommandRegistration kLogout{{71, "logout", "logout", "退出微软账户（删除保存的登录信息）", Logout}};

}  // namespace
}  // namespace kv::cli
