#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "auth/microsoft_account_file.h"
#include "auth/microsoft_services.h"
#include "auth/sign_in.h"
#include "auth/stored_credentials.h"
#include "cli/cli_commands.h"
#include "platform/secret_input.h"
#include "play/launch_sequence.h"
#include "settings/settings_change.h"
#include "util/ascii_text.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv::cli {

std::optional<std::string> ReadPassword() {
  if (StandardInputIsTerminal()) {
    std::fprintf(stderr, "%s", msg::kPasswordPrompt);
    std::fflush(stderr);
  }
  return ReadSecretLine();
}

namespace {

constexpr const char* kSetUsage = "set KEY VALUE [KEY VALUE ...] [--password]";

bool AccountChanged(const CSettings& before, const CSettings& after) {
  return before.userName != after.userName || before.password != after.password || before.isGenuine != after.isGenuine ||
         IsOtherAccountServer(before.authServer, after.authServer);
}

// Changes settings as the settings dialog does: every value checked, a genuine account signed
// in before anything is saved, the game folder created, all values written at once.
int SetSettings(const Arguments& args) {
  std::vector<std::pair<std::string, std::string>> changes;
  bool readPassword = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--password") {
      readPassword = true;
    } else if (i + 1 < args.size()) {
      changes.emplace_back(args[i], args[i + 1]);
      ++i;
    } else {
      return Usage(kSetUsage);
    }
  }
  if (changes.empty() && !readPassword) return Usage(kSetUsage);

  CSettings settings;
  settings.Load();
  const CSettings before = settings;
  std::string changedKeys;
  GivenWithServer given;
  for (const auto& [key, value] : changes) {
    std::string problem;
    if (!SetSettingByKey(settings, key, value, problem)) return Fail(problem);
    changedKeys += (changedKeys.empty() ? "" : ", ") + key;
    given.name = given.name || EqualsNoCase(key, "UserName");
    given.password = given.password || EqualsNoCase(key, "PWD");
  }
  if (readPassword) {
    std::optional<std::string> password = ReadPassword();
    if (!password) return Fail(msg::kPasswordNotRead);
    settings.password = *password;
    changedKeys += (changedKeys.empty() ? "" : ", ") + std::string("PWD");
    given.password = true;
  }
  if (std::string problem = CheckSettings(settings); !problem.empty()) return Fail(problem);
  // What was given for the old account server stays behind; without it there is nothing to
  // sign in with until the player does so again.
  const bool accountCleared = ForgetAccountOfPreviousServer(settings, before.authServer, given);
  // A Microsoft account signs in with a code in the browser (login --microsoft), never here.
  const bool withMicrosoft = IsMicrosoftAccountChoice(settings.authServer);
  const bool microsoftChosenNow =
      withMicrosoft && (before.authServer != settings.authServer || before.msaClientId != settings.msaClientId);
  if (microsoftChosenNow && microsoft::ClientId(settings.msaClientId).empty()) return Fail(msg::kMsaNoClientId);
  if (settings.isGenuine == "true" && AccountChanged(before, settings) && !accountCleared && !withMicrosoft) {
    const AccountLogin login{settings.userName, settings.password, settings.authServer, {}};
    const Result<SignedIn> signIn = SignInWithCredentials(login, settings.SettingsPath(), LaunchServices::Network().account);
    if (!signIn) return Fail(msg::kSignInFailedPrefix + signIn.message());
  }
  if (!CreateGameFolder(settings.gamePath)) return Fail(msg::GameFolderNotCreated(settings.gamePath));
  const bool leavesInstances = LeavesInstanceFoldersBehind(settings.SettingsPath(), before.gamePath, settings.gamePath);
  if (!settings.Save()) return Fail(msg::kSettingsNotWritten);
  if (IsOtherAccountServer(before.authServer, settings.authServer) &&
      !ForgetSignInOfOtherServers(settings.SettingsPath(), settings.authServer)) {
    return Fail(msg::kSettingsNotWritten);
  }
  if (leavesInstances) Note(msg::kInstanceFoldersLeftBehind);
  if (withMicrosoft && settings.isGenuine == "true" && !PathExists(MicrosoftAccountPath(settings.SettingsPath()))) {
    Note(msg::kMsaNotSignedIn);
  } else if (accountCleared) {
    Note(std::string(msg::kAccountClearedForNewServer) + "（korvane-cli login USER）");
  }
  std::printf("%s\n", msg::SettingsSaved(changedKeys).c_str());
  return 0;
}

const CommandRegistration kSet{
    {11, "set", kSetUsage, "修改设置，检查方式与设置窗口相同\n（--password：密码从标准输入读取）", SetSettings}};

}  // namespace
}  // namespace kv::cli
