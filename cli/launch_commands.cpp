#include <csignal>
#include <cstdio>
#include <string>

#include "auth/sign_in.h"
#include "cli/cli_commands.h"
#include "cli/download_progress.h"
#include "platform/launcher_folder.h"
#include "play/launch_sequence.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

// The launch as a terminal shows it: messages on standard error, the game's output on
// standard output, the downloads with a progress line.
class TerminalLaunchSink : public LaunchSink {
 public:
  void FinishLoading() override {}
  void ShowMessage(const std::string& text, MessageKind) override {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
  void OfferJavaDownload(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  DownloadResult RunDownloads(const std::vector<DownloadItem>& plan) override { return DownloadWithProgress(plan); }
  // A launch from the terminal asks nothing: the profile is chosen once, with login --profile.
  std::optional<std::size_t> ChooseProfile(const std::vector<std::string>& names) override {
    std::fprintf(stderr, "%s\n请先用 korvane-cli login USER --profile NAME 选定角色\n",
                 Printable(msg::ProfileChoiceNeeded(names)).c_str());
    return std::nullopt;
  }
  void ShowLauncher(bool) override {}
  bool HasLogWindow() const override { return true; }
  void ShowLog(bool) override {}
  void ClearLog() override {}
  void AppendLog(const std::string& text) override {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }
};

int Launch(const Arguments& args) {
  const char* synopsis = "launch NAME [--dry-run]";
  std::string name;
  bool dryRun = false;
  for (const std::string& arg : args) {
    if (arg == "--dry-run") {
      dryRun = true;
    } else if (name.empty()) {
      name = arg;
    } else {
      return Usage(synopsis);
    }
  }
  if (name.empty()) return Usage(synopsis);
  CInstanceList instances(false);
  if (!instances.Contains(name)) return Fail("没有这个游戏实例");

  LaunchRequest request;
  request.instanceName = name;
  request.instanceVersion = instances.GetVersion(name);
  request.prepareOnly = dryRun;
  request.showOutput = true;
  if (request.instanceVersion.empty()) return Fail("这个游戏实例没有版本");

  TerminalLaunchSink sink;
  LaunchSequence sequence(SettingsFilePath(), LaunchServices::Network());
  LaunchResult result = sequence.Run(request, sink);
  switch (result.status) {
    case LaunchStatus::Prepared:
      for (const std::string& argument : result.command) std::printf("%s\n", argument.c_str());
      return 0;
    case LaunchStatus::GameEnded:
      return result.exitStatus.value_or(0);
    case LaunchStatus::DownloadsCancelled:
      return Fail("下载未完成，启动已取消");
    case LaunchStatus::StartFailed:
      return Fail("无法启动游戏进程（Java 路径是否正确？详见 log/log.log）");
    case LaunchStatus::AlreadyRunning:
      return Fail("游戏正在启动中");
    default:
      return 1;  // the sequence has already said why
  }
}

int Login(const Arguments& args) {
  const char* synopsis = "login USER [--profile NAME]   (the password is read from standard input)";
  AccountLogin login;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--profile" && i + 1 < args.size() && !args[i + 1].empty()) {
      login.profileName = args[++i];
    } else if (login.username.empty() && !args[i].empty() && args[i] != "--profile") {
      login.username = args[i];
    } else {
      return Usage(synopsis);
    }
  }
  if (login.username.empty()) return Usage(synopsis);
  const std::optional<std::string> password = ReadPassword();
  if (!password) return Fail(msg::kPasswordNotRead);
  login.password = *password;
  CSettings settings;
  settings.Load();
  login.authServer = settings.authServer;
  const SignInResult signIn =
      SignInWithCredentials(login, SettingsFilePath(), LaunchServices::Network().account);
  if (!signIn.signedIn) return Fail(signIn.error);
  // As the settings dialog does after a good account check: this account is the player's now.
  settings.userName = login.username;
  settings.password = login.password;
  settings.isGenuine = "true";
  if (!settings.Save()) return Fail("无法保存设置文件");
  const AccountServer& server = *signIn.server;
  std::printf("登录成功\n账户服务器: %s\n角色: %s\n",
              Printable(server.name.empty() ? server.apiRoot : server.name).c_str(), Printable(signIn.profileName).c_str());
  return 0;
}

const CommandRegistration kLaunch{
    {60, "launch", "launch NAME [--dry-run]  start an instance (--dry-run: print the command instead)", Launch}};
const CommandRegistration kLogin{
    {70, "login", "login USER [--profile NAME]  sign a genuine account in at the AuthServer (password on standard input)", Login}};

}  // namespace
}  // namespace kv::cli
