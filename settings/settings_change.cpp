#include "settings/settings_change.h"

#include <algorithm>
#include <filesystem>
#include <tuple>

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
constexpr const char* kWindowWidthField = "窗口宽度";
constexpr const char* kWindowHeightField = "窗口高度";

// The player name and password are stored as Base64 of their bytes in the ANSI code page.
bool AnsiCodePageHolds(std::string_view text) {
  return ToWide(ToNarrow(text, kCodePageAnsi), kCodePageAnsi) == text;
}

std::string CheckMemory(const GameSettings& values, std::optional<int> machineMemoryMb) {
  for (const auto& [value, field] : {std::pair{&values.memoryMax, kMemoryMaxField}, std::pair{&values.memoryMin, kMemoryMinField}}) {
    if (machineMemoryMb && value->value_or(0) > *machineMemoryMb) return msg::MemoryAboveMachine(field, *machineMemoryMb);
  }
  // The sizes reach the Java command line only with automatic memory off.
  if (values.autoMemory.value_or(true)) return {};
  if (!values.memoryMin) return msg::MemorySizeMissing(kMemoryMinField);
  if (!values.memoryMax) return msg::MemorySizeMissing(kMemoryMaxField);
  if (*values.memoryMax == 0) return msg::kMemoryMaxZero;
  if (*values.memoryMin > *values.memoryMax) return msg::kMemoryMinAboveMax;
  return {};
}

std::string CheckStoredText(const std::string& value, const char* field, const std::string& settingsPath) {
  if (HasControlCharacter(value)) return msg::ControlCharacterIn(field);
  if (!profile::CanHold(settingsPath, value)) return msg::NotInSettingsFile(field);
  return {};
}

Result<bool> ParseFlagField(const std::string& value, const char* field) {
  const std::optional<bool> flag = profile::ParseFlag(value);
  if (!flag) return Fail(FailureKind::Invalid, msg::NotAFlag(field));
  return *flag;
}

Result<std::optional<int>> ParseMemoryField(const std::string& value, const char* field) {
  if (value.empty()) return std::optional<int>();
  const std::optional<int> size = ParseWholeNumber(value);
  if (!size) return Fail(FailureKind::Invalid, msg::NotAMemorySize(field));
  return size;
}

std::string WithTrailingSeparator(std::string path, char separator) {
  if (path.empty() || (path.back() != '/' && path.back() != '\\')) path += separator;
  return path;
}

}  // namespace

std::string CheckSettings(const CSettings& settings, std::optional<int> machineMemoryMb) {
  if (CountCodePoints(settings.userName) > kMaxUserNameLength) return msg::kUserNameTooLong;
  for (const auto& [value, field] : {std::pair{&settings.userName, kUserNameField},
                                     std::pair{&settings.password, kPasswordField}}) {
    if (!AnsiCodePageHolds(*value)) return msg::NotInSettingsFile(field);
  }
  // The rest stands in the file as it is.
  for (const auto& [value, field] : {std::pair{&settings.gamePath, kGamePathField},
                                     std::pair{&settings.authServer, kAuthServerField},
                                     std::pair{&settings.msaClientId, kMsaClientIdField}}) {
    if (std::string problem = CheckStoredText(*value, field, settings.SettingsPath()); !problem.empty()) return problem;
  }
  if (settings.gamePath.empty()) return msg::kGamePathEmpty;
  return CheckGameSettings(settings.game, settings.SettingsPath(), machineMemoryMb);
}

std::string CheckGameSettings(const GameSettings& values, const std::string& settingsPath,
                              std::optional<int> machineMemoryMb) {
  for (const auto& [value, field] : {std::pair{&values.javaPath, kJavaPathField},
                                     std::pair{&values.javaVer, kJavaVerField},
                                     std::pair{&values.launchParameters, kParametersField}}) {
    if (std::string problem = CheckStoredText(value->value_or(""), field, settingsPath); !problem.empty()) return problem;
  }
  return CheckMemory(values, machineMemoryMb);
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
  if (!given.name && settings.isGenuine) clear(settings.userName);
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

Status ChooseJavaAutomatically(const std::string& settingsPath) {
  if (!profile::WriteStrings(settingsPath, {{"KvCfg", "JavaPath", ""}, {"KvCfg", "JavaVer", ""}})) {
    return Fail(FailureKind::Io, msg::kSettingsNotWritten);
  }
  return {};
}

Status SetGameSettingByKey(GameSettings& values, std::string_view key, const std::string& value, bool forInstance) {
  const std::string name = AsciiLower(key);
  if (name == "javapath" && value.empty()) {
    values.javaPath = std::string();
    values.javaVer = std::string();
    return {};
  }
  if (name == "javapath") {
    const std::optional<JavaRuntime> runtime = ProbeJavaRuntime(value);
    if (!runtime) return Fail(FailureKind::Invalid, msg::NotAJavaRuntime(value));
    values.javaPath = runtime->path;
    values.javaVer = runtime->version;
    return {};
  }
  if (name == "launchparameters") {
    values.launchParameters = value;
    return {};
  }
  if (name == "isautomallocmemory") {
    Result<bool> flag = ParseFlagField(value, kAutoMemoryField);
    if (!flag) return std::move(flag).failure();
    values.autoMemory = *flag;
    return {};
  }
  for (const auto& [candidate, member, field] : {std::tuple{"jvmmemorymin", &GameSettings::memoryMin, kMemoryMinField},
                                                 std::tuple{"jvmmemorymax", &GameSettings::memoryMax, kMemoryMaxField}}) {
    if (name != candidate) continue;
    Result<std::optional<int>> size = ParseMemoryField(value, field);
    if (!size) return std::move(size).failure();
    values.*member = *size;
    return {};
  }
  for (const auto& [candidate, member, field] : {std::tuple{"windowwidth", &GameSettings::windowWidth, kWindowWidthField},
                                                 std::tuple{"windowheight", &GameSettings::windowHeight, kWindowHeightField}}) {
    if (!forInstance || name != candidate) continue;
    const std::optional<int> size = ParseWholeNumber(value);
    if (!value.empty() && (!size || *size < 1 || *size > kMaxWindowSize)) {
      return Fail(FailureKind::Invalid, msg::NotAWindowSize(field));
    }
    values.*member = size;
    return {};
  }
  if (name == "javaver") return Fail(FailureKind::NotFound, msg::kJavaVerFollowsJavaPath);
  return Fail(FailureKind::NotFound,
              forInstance ? msg::NotAnInstanceSetting(std::string(key)) : msg::UnknownSetting(std::string(key)));
}

Status FollowLauncherSetting(GameSettings& values, std::string_view key) {
  const std::string name = AsciiLower(key);
  if (name == "javapath") {
    values.javaPath.reset();
    values.javaVer.reset();
    return {};
  }
  if (name == "launchparameters") {
    values.launchParameters.reset();
    return {};
  }
  if (name == "isautomallocmemory") {
    values.autoMemory.reset();
    return {};
  }
  const std::pair<const char*, std::optional<int> GameSettings::*> sizes[] = {
      {"jvmmemorymin", &GameSettings::memoryMin},
      {"jvmmemorymax", &GameSettings::memoryMax},
      {"windowwidth", &GameSettings::windowWidth},
      {"windowheight", &GameSettings::windowHeight},
  };
  for (const auto& [candidate, member] : sizes) {
    if (name != candidate) continue;
    (values.*member).reset();
    return {};
  }
  return Fail(FailureKind::NotFound, msg::NotAnInstanceSetting(std::string(key)));
}

Status SetSettingByKey(CSettings& settings, std::string_view key, const std::string& value) {
  const std::string name = AsciiLower(key);
  const std::pair<const char*, std::string CSettings::*> texts[] = {
      {"username", &CSettings::userName},
      {"pwd", &CSettings::password},
      {"authserver", &CSettings::authServer},
      {"msaclientid", &CSettings::msaClientId},
  };
  for (const auto& [candidate, member] : texts) {
    if (name != candidate) continue;
    settings.*member = value;
    return {};
  }
  const std::tuple<const char*, bool CSettings::*, const char*> flags[] = {
      {"isgenuine", &CSettings::isGenuine, kGenuineField},
      {"isshowcmd", &CSettings::isShowCmd, kShowCmdField},
      {"iskeeplog", &CSettings::isKeepLog, kKeepLogField},
  };
  for (const auto& [candidate, member, field] : flags) {
    if (name != candidate) continue;
    Result<bool> flag = ParseFlagField(value, field);
    if (!flag) return std::move(flag).failure();
    settings.*member = *flag;
    return {};
  }
  if (name == "gamepath") {
    std::error_code error;
    settings.gamePath = value.empty() ? std::string() : WithTrailingSeparator(fs::absolute(value, error).string(), '/');
    return {};
  }
  if (name == "downloadsource") {
    const std::optional<SourceKind> kind = ParseSourceKind(value);
    if (!value.empty() && !kind) return Fail(FailureKind::Invalid, msg::UnknownDownloadSource(value));
    settings.downloadSource = kind;
    return {};
  }
  return SetGameSettingByKey(settings.game, key, value, false);
}

}  // namespace kv
