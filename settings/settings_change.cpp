#include "settings/settings_change.h"

#include <algorithm>
#include <filesystem>

#include "platform/java_source.h"
#include "platform/profile_store.h"
#include "settings/download_source_kind.h"
#include "settings/instance_folders.h"
#include "settings/instance_list.h"
#include "util/ascii_text.h"
#include "util/files.h"
#include "util/messages.h"
#include "util/text.h"

namespace kv {
namespace fs = std::filesystem;
namespace {

// The names the settings dialog shows next to each value.
constexpr const char* kUserNameField = "玩家名称(ID)";
constexpr const char* kPasswordField = "密码";
constexpr const char* kGenuineField = "正版登录";
constexpr const char* kJavaPathField = "Java路径";
constexpr const char* kJavaVerField = "Java版本";
constexpr const char* kGamePathField = "游戏路径";
constexpr const char* kMemoryMinField = "最小内存(MB)";
constexpr const char* kMemoryMaxField = "最大内存(MB)";
constexpr const char* kParametersField = "启动参数";
constexpr const char* kAuthServerField = "账户服务器";
constexpr const char* kMsaClientIdField = "微软应用程序 ID";
constexpr const char* kAutoMemoryField = "自动配置";
constexpr const char* kShowCmdField = "显示命令行窗口";
constexpr const char* kKeepLogField = "游戏结束后保留日志窗口";

// The player name and password are stored as Base64 of their bytes in the ANSI code page.
bool AnsiCodePageHolds(std::string_view text) {
  return ToWide(ToNarrow(text, kCodePageAnsi), kCodePageAnsi) == text;
}

bool IsMemorySize(std::string_view text) {
  return !text.empty() && text.size() <= kMaxMemoryDigits &&
         std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

std::string CheckMemory(const CSettings& settings) {
  for (const auto& [value, field] : {std::pair{&settings.jvmMemoryMin, kMemoryMinField},
                                     std::pair{&settings.jvmMemoryMax, kMemoryMaxField}}) {
    if (!value->empty() && !IsMemorySize(*value)) return msg::NotAMemorySize(field);
  }
  // The sizes reach the Java command line only with automatic memory off.
  if (settings.isAutoMallocMemory != "false") return {};
  if (settings.jvmMemoryMin.empty()) return msg::MemorySizeMissing(kMemoryMinField);
  if (settings.jvmMemoryMax.empty()) return msg::MemorySizeMissing(kMemoryMaxField);
  const int minimum = std::stoi(settings.jvmMemoryMin);
  const int maximum = std::stoi(settings.jvmMemoryMax);
  if (maximum == 0) return msg::kMemoryMaxZero;
  if (minimum > maximum) return msg::kMemoryMinAboveMax;
  return {};
}

std::string WithTrailingSeparator(std::string path, char separator) {
  if (path.empty() || (path.back() != '/' && path.back() != '\\')) path += separator;
  return path;
}

}  // namespace

std::string CheckSettings(const CSettings& settings) {
  if (CountCodePoints(settings.userName) > kMaxUserNameLength) return msg::kUserNameTooLong;
  for (const auto& [value, field] : {std::pair{&settings.userName, kUserNameField},
                                     std::pair{&settings.password, kPasswordField}}) {
    if (!AnsiCodePageHolds(*value)) return msg::NotInSettingsFile(field);
  }
  for (const auto& [value, field] : {std::pair{&settings.isGenuine, kGenuineField},
                                     std::pair{&settings.isAutoMallocMemory, kAutoMemoryField},
                                     std::pair{&settings.isShowCmd, kShowCmdField},
                                     std::pair{&settings.isKeepLog, kKeepLogField}}) {
    if (*value != "true" && *value != "false") return msg::NotAFlag(field);
  }
  // The rest stands in the file as it is.
  for (const auto& [value, field] : {std::pair{&settings.javaPath, kJavaPathField},
                                     std::pair{&settings.javaVer, kJavaVerField},
                                     std::pair{&settings.gamePath, kGamePathField},
                                     std::pair{&settings.launchParameters, kParametersField},
                                     std::pair{&settings.authServer, kAuthServerField},
                                     std::pair{&settings.msaClientId, kMsaClientIdField}}) {
    if (HasControlCharacter(*value)) return msg::ControlCharacterIn(field);
    if (!profile::CanHold(settings.SettingsPath(), *value)) return msg::NotInSettingsFile(field);
  }
  if (settings.gamePath.empty()) return msg::kGamePathEmpty;
  return CheckMemory(settings);
}

std::string GameFolderInside(std::string chosen, char separator) {
  return WithTrailingSeparator(std::move(chosen), separator) + ".minecraft" + separator;
}

bool LeavesInstanceFoldersBehind(const std::string& settingsPath, const std::string& oldGamePath,
                                 const std::string& newGamePath) {
  const auto root = [](const std::string& gamePath) {
    // Without the trailing separator, which canonical forms keep or drop depending on whether
    // the folder exists.
    std::string folder = InstancesRoot(gamePath);
    folder.pop_back();
    std::error_code error;
    return fs::weakly_canonical(fs::absolute(folder, error), error).lexically_normal();
  };
  if (root(oldGamePath) == root(newGamePath)) return false;
  return !CInstanceList(settingsPath, false).Entries().empty();
}

bool CreateGameFolder(const std::string& gamePath) {
  MakeFoldersForPath(WithTrailingSeparator(gamePath, '/'));
  std::error_code error;
  return fs::is_directory(gamePath, error);
}

bool IsOtherAccountServer(const std::string& previous, const std::string& next) {
  const auto trimmed = [](std::string_view address) {
    return address.substr(0, address.find_last_not_of('/') + 1);
  };
  return trimmed(previous) != trimmed(next);
}

bool ForgetAccountOfPreviousServer(CSettings& settings, const std::string& previous, GivenWithServer given) {
  if (!IsOtherAccountServer(previous, settings.authServer)) return false;
  bool cleared = false;
  const auto clear = [&cleared](std::string& value) {
    cleared = cleared || !value.empty();
    value.clear();
  };
  if (!given.password) clear(settings.password);
  // An offline player's name is only the name played under: no server was given it.
  if (!given.name && settings.isGenuine == "true") clear(settings.userName);
  return cleared;
}

Result<bool> ChangeAuthServer(const std::string& settingsPath, const std::string& address) {
  CSettings settings(settingsPath);
  settings.LoadAccount();
  const std::string previous = settings.authServer;
  settings.authServer = address;
  const bool cleared = ForgetAccountOfPreviousServer(settings, previous);
  if (!settings.SaveAccount()) return Fail(FailureKind::Io, msg::kSettingsNotWritten);
  return cleared;
}

bool SetSettingByKey(CSettings& settings, std::string_view key, const std::string& value, std::string& problem) {
  const std::string name = AsciiLower(key);
  const std::pair<const char*, std::string CSettings::*> plain[] = {
      {"username", &CSettings::userName},
      {"pwd", &CSettings::password},
      {"isgenuine", &CSettings::isGenuine},
      {"jvmmemorymin", &CSettings::jvmMemoryMin},
      {"jvmmemorymax", &CSettings::jvmMemoryMax},
      {"launchparameters", &CSettings::launchParameters},
      {"isautomallocmemory", &CSettings::isAutoMallocMemory},
      {"isshowcmd", &CSettings::isShowCmd},
      {"iskeeplog", &CSettings::isKeepLog},
      {"authserver", &CSettings::authServer},
      {"msaclientid", &CSettings::msaClientId},
  };
  for (const auto& [candidate, member] : plain) {
    if (name == candidate) {
      settings.*member = value;
      return true;
    }
  }
  if (name == "javapath") {
    const std::optional<JavaRuntime> runtime = ProbeJavaRuntime(value);
    if (!runtime) {
      problem = msg::NotAJavaRuntime(value);
      return false;
    }
    settings.javaPath = runtime->path;
    settings.javaVer = runtime->version;
    return true;
  }
  if (name == "gamepath") {
    std::error_code error;
    settings.gamePath = value.empty() ? std::string() : WithTrailingSeparator(fs::absolute(value, error).string(), '/');
    return true;
  }
  if (name == "downloadsource") {
    if (!value.empty() && !ParseSourceKind(value)) {
      problem = msg::UnknownDownloadSource(value);
      return false;
    }
    settings.downloadSource = value;
    return true;
  }
  problem = name == "javaver" ? std::string(msg::kJavaVerFollowsJavaPath) : msg::UnknownSetting(std::string(key));
  return false;
}

}  // namespace kv
