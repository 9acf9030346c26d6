#include "settings/settings.h"

#include <charconv>
#include <vector>

#include "platform/java_discovery.h"
#include "platform/launcher_folder.h"
#include "platform/profile_store.h"
#include "util/base64.h"

namespace kv {
namespace {

constexpr const char* kSection = "KvCfg";

}  // namespace

std::string DefaultGameFolder(const std::string& settingsPath) {
  std::size_t slash = settingsPath.find_last_of('/');
  std::string folder = slash == std::string::npos ? std::string() : settingsPath.substr(0, slash + 1);
  return folder + ".minecraft/";
}

std::optional<int> ReadDownloadThreads(const std::string& settingsPath) {
  const std::string text = profile::GetString(settingsPath, kSection, "DownloadThreads", "");
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string LoadGamePath(const std::string& settingsPath) {
  std::string gamePath = profile::GetString(settingsPath, kSection, "GamePath", "");
  return gamePath.empty() ? DefaultGameFolder(settingsPath) : gamePath;
}

std::string LoadDownloadSource(const std::string& settingsPath) {
  return profile::GetString(settingsPath, kSection, "DownloadSource", "");
}

CSettings::CSettings() : CSettings(SettingsFilePath()) {}

CSettings::CSettings(std::string settingsPath) : path_(std::move(settingsPath)) {}

void CSettings::Load(const JavaRuntimeSource& java) {
  LoadAccount();
  javaPath = Read("JavaPath", "");
  gamePath = LoadGamePath(path_);
  jvmMemoryMin = Read("JVMMemoryMin", "512");
  jvmMemoryMax = Read("JVMMemoryMax", "1024");
  launchParameters = Read("LaunchParameters", "");
  javaVer = Read("JavaVer", "");
  javaPathDiscovered = false;
  if (javaPath.empty()) {
    std::string foundPath;
    std::string foundVersion;
    if (FindDefaultJava(java, foundPath, foundVersion)) {
      javaPath = NormaliseJavaPath(foundPath);
      javaVer += foundVersion;
      javaPathDiscovered = true;
    }
  }
  isAutoMallocMemory = Read("IsAutoMallocMemory", "true");
  isShowCmd = Read("IsShowCmd", "false");
  isKeepLog = Read("IsKeepLog", "false");
  downloadSource = LoadDownloadSource(path_);
}

void CSettings::LoadAccount() {
  userName = DecodeSettingsText(Read("UserName", ""));
  if (userName.empty()) userName = "Player";
  password = DecodeSettingsText(Read("PWD", ""));
  isGenuine = Read("IsGenuine", "false");
  authServer = Read("AuthServer", "");
}

std::string CSettings::Read(const char* key, const char* fallback) const {
  return profile::GetString(path_, kSection, key, fallback);
}

bool CSettings::Save() const { return Write(true); }

bool CSettings::SaveAccount() const { return Write(false); }

bool CSettings::Write(bool everything) const {
  const std::string encodedName = EncodeSettingsText(userName);
  const std::string encodedPassword = EncodeSettingsText(password);
  std::vector<profile::Write> writes{{kSection, "UserName", encodedName}, {kSection, "PWD", encodedPassword}};
  // Absent means "false": a file of the Windows build keeps its bytes until it is set.
  const std::string keepLog = isKeepLog == "false" ? std::string() : isKeepLog;
  if (everything) {
    writes.insert(writes.end(), {{kSection, "IsGenuine", isGenuine},
                                 {kSection, "JavaPath", javaPath},
                                 {kSection, "GamePath", gamePath},
                                 {kSection, "JVMMemoryMin", jvmMemoryMin},
                                 {kSection, "JVMMemoryMax", jvmMemoryMax},
                                 {kSection, "LaunchParameters", launchParameters},
                                 {kSection, "JavaVer", javaVer},
                                 {kSection, "IsAutoMallocMemory", isAutoMallocMemory},
                                 {kSection, "IsShowCmd", isShowCmd},
                                 {kSection, "IsKeepLog", profile::ValueUnlessEmpty(keepLog)}});
  }
  // Only where it is set, so that a file of the Windows build keeps its bytes.
  writes.push_back({kSection, "AuthServer", profile::ValueUnlessEmpty(authServer)});
  // The Windows build knows no download source: its file keeps its bytes until one is chosen.
  if (everything && !downloadSource.empty()) writes.push_back({kSection, "DownloadSource", downloadSource});
  return profile::WriteStrings(path_, writes);
}

}  // namespace kv
