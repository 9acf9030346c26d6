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
  if (args.size() != 1 || args[0].empty()) return Usage("login USER   (the password is read from standard input)");
  const std::optional<std::string> read = ReadPassword();
  if (!read) return Fail(msg::kPasswordNotRead);
  const std::string password = *read;
  LaunchServices services = LaunchServices::Network();
  const SignInResult signIn = SignInWithCredentials(args[0], password, SettingsFilePath(), services.postAuthenticate);
  if (!signIn.signedIn) return Fail(signIn.error);
  // As the settings dialog does after a good account check: this account is the player's now.
  CSettings settings;
  settings.Load();
  settings.userName = args[0];
  settings.password = password;
  settings.isGenuine = "true";
  if (!settings.Save()) return Fail("无法保存设置文件");
  std::printf("登录成功\n");
  return 0;
}

const CommandRegistration kLaunch{
    {60, "launch", "launch NAME [--dry-run]  start an instance (--dry-run: print the command instead)", Launch}};
const CommandRegistration kLogin{
    {70, "login", "login USER               sign a genuine account in (password on standard input)", Login}};

}  // namespace
}  // namespace kv::cli
