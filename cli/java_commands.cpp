#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/cli_commands.h"
#include "cli/download_progress.h"
#include "install/java_runtime_install.h"
#include "platform/java_discovery.h"
#include "platform/launcher_folder.h"
#include "settings/settings.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

constexpr const char* kJavaUsage = "java list | java install COMPONENT|MAJOR";

const char* OriginName(JavaOrigin origin) {
  switch (origin) {
    case JavaOrigin::JavaHome: return "JAVA_HOME";
    case JavaOrigin::SearchPath: return "PATH";
    case JavaOrigin::System: return "系统";
    case JavaOrigin::Launcher: return "启动器下载";
    case JavaOrigin::Other: break;
  }
  return "其他";
}

// Every runtime discovery finds, and the one the settings name when it finds not that one:
// path, major version ("?" when unknown) and where it came from, tab-separated.
int ListJava() {
  std::vector<JavaRuntime> runtimes;
  ListJavaRuntimes(HostJavaSource(), runtimes);
  const std::string chosen = ReadSettings(SettingsFilePath()).ChosenJavaPath();
  const auto row = [](const std::string& path, const std::string& version, const char* origin) {
    const int major = JavaMajorVersion(version);
    std::printf("%s\t%s\t%s\n", Printable(path).c_str(), major == 0 ? "?" : std::to_string(major).c_str(), origin);
  };
  for (const JavaRuntime& runtime : runtimes) row(runtime.path, runtime.version, OriginName(runtime.origin));
  const bool listed = std::any_of(runtimes.begin(), runtimes.end(),
                                  [&](const JavaRuntime& runtime) { return runtime.path == chosen; });
  if (!chosen.empty() && !listed) {
    row(chosen, HostJavaSource().VersionOf(chosen), "设置");
  }
  return 0;
}

// Installs the publisher's runtime named by its component or by its Java major version.
int InstallJava(const std::string& wanted) {
  const bool byMajor = std::all_of(wanted.begin(), wanted.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
  if (!byMajor && !IsSafeComponentName(wanted)) return Fail(msg::RuntimeComponentInvalid(wanted));
  CSettings settings;
  settings.Load();
  const DownloadSource source = DownloadSource::Configured(settings.downloadSource);
  const std::string platform = HostRuntimePlatform();
  Result<std::vector<PublishedRuntime>> offered = FetchRuntimeIndex(source, platform);
  if (!offered) return Fail(offered.message() + "（请检查网络连接和 DownloadSource 设置）");
  const PublishedRuntime* runtime = nullptr;
  if (!byMajor) runtime = FindRuntime(*offered, wanted);
  else if (wanted.size() <= 4) runtime = FindRuntimeOfMajor(*offered, std::stoi(wanted));
  if (runtime == nullptr) return Fail(msg::RuntimeNotOffered(wanted, platform.empty() ? "?" : platform));
  Result<RuntimeInstall> install = RuntimeInstall::Plan(source, GetLauncherFolder(), *runtime);
  if (!install) return Fail(install.message());
  switch (DownloadWithProgress(install->Downloads())) {
    case DownloadResult::Completed:
      break;
    case DownloadResult::Cancelled:
      return Fail("下载已取消");
    case DownloadResult::Failed:
      return 1;  // the reason is printed already
  }
  Result<std::string> java = install->Complete();
  if (!java) return Fail(java.message());
  std::printf("%s\n", msg::RuntimeInstalled(runtime->component, *java).c_str());
  return 0;
}

int JavaCommand(const Arguments& args) {
  if (args.size() == 1 && args[0] == "list") return ListJava();
  if (args.size() == 2 && args[0] == "install" && !args[1].empty()) return InstallJava(args[1]);
  return Usage(kJavaUsage);
}

const CommandRegistration kJava{{55, "java", kJavaUsage,
                                 "列出找到的 Java：路径<TAB>主版本<TAB>来源；\n或下载游戏发布方的 Java 运行环境（按名称或主版本，如 17）",
                                 JavaCommand}};

}  // namespace
}  // namespace kv::cli
