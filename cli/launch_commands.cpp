#include <csignal>
#include <cstdio>
#include <string>

#include "auth/sign_in.h"
#include "cli/cli_commands.h"
#include "cli/terminal_launch_sink.h"
#include "platform/launcher_folder.h"
#include "play/launch_sequence.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

constexpr const char* kLaunchUsage = "launch NAME [--dry-run] [--no-java-download]";
constexpr const char* kLoginUsage = "login USER [--profile NAME] | login --microsoft";

int Launch(const Arguments& args) {
  std::string name;
  bool dryRun = false;
  bool javaDownloads = true;
  for (const std::string& arg : args) {
    if (arg == "--dry-run") {
      dryRun = true;
    } else if (arg == "--no-java-download") {
      javaDownloads = false;
    } else if (name.empty()) {
      name = arg;
    } else {
      return Usage(kLaunchUsage);
    }
  }
  if (name.empty()) return Usage(kLaunchUsage);
  CInstanceList instances(false);
  if (!instances.Contains(name)) return Fail(msg::InstanceUnknown(Printable(name)));

  LaunchRequest request;
  request.instanceName = name;
  request.instanceVersion = instances.GetVersion(name);
  request.prepareOnly = dryRun;
  request.showOutput = true;
  if (request.instanceVersion.empty()) return Fail("这个游戏实例没有版本");

  TerminalLaunchSink sink(javaDownloads);
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
  if (!args.empty() && args.front() == "--microsoft") return LoginWithMicrosoft(args);
  const std::string usage = std::string(kLoginUsage) + "   （密码从标准输入读取）";
  AccountLogin login;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--profile" && i + 1 < args.size() && !args[i + 1].empty()) {
      login.profileName = args[++i];
    } else if (login.username.empty() && !args[i].empty() && args[i] != "--profile") {
      login.username = args[i];
    } else {
      return Usage(usage);
    }
  }
  if (login.username.empty()) return Usage(usage);
  const std::optional<std::string> password = ReadPassword();
  if (!password) return Fail(msg::kPasswordNotRead);
  login.password = *password;
  CSettings settings;
  settings.Load();
  login.authServer = settings.authServer;
  const Result<SignedIn> signIn = SignInWithCredentials(login, SettingsFilePath(), LaunchServices::Network().account);
  if (!signIn) return Fail(signIn.message());
  // As the settings dialog does after a good account check: this account is the player's now.
  settings.userName = login.username;
  settings.password = login.password;
  settings.isGenuine = true;
  if (!settings.Save()) return Fail("无法保存设置文件");
  const AccountServer& server = signIn->server;
  std::printf("登录成功\n账户服务器: %s\n角色: %s\n",
              Printable(server.name.empty() ? server.apiRoot : server.name).c_str(), Printable(signIn->profileName).c_str());
  return 0;
}

const CommandRegistration kLaunch{
    {60, "launch", kLaunchUsage,
     "启动游戏实例（--dry-run：准备好文件后只显示启动命令；\n缺少合适的 Java 时自动下载，--no-java-download：不下载）", Launch}};
const CommandRegistration kLogin{
    {70, "login", kLoginUsage, "在 AuthServer 登录正版账户（密码从标准输入读取）\n--microsoft：用浏览器中输入的代码登录微软账户", Login}};

}  // namespace
}  // namespace kv::cli
