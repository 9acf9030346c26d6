#include "settings/settings.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <vector>

#include "platform/java_discovery.h"
#include "platform/launcher_folder.h"
#include "platform/profile_store.h"
#include "util/ascii_text.h"
#include "util/base64.h"

namespace kv {
namespace {

constexpr const char* kSection = "KvCfg";

// Keys of the instance's own window size, which the launcher's section never holds.
bool IsWindowSizeKey(std::string_view key) { return key == "WindowWidth" || key == "WindowHeight"; }

std::optional<int> ParseThreadCount(const std::optional<std::string>& text) {
  if (!text || text->empty()) return std::nullopt;
  int value = 0;
  auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (error != std::errc() || end != text->data() + text->size()) return std::nullopt;
  return value;
}

}  // namespace

std::string DefaultGameFolder(const std::string& settingsPath) {
  std::size_t slash = settingsPath.find_last_of('/');
  std::string folder = slash == std::string::npos ? std::string() : settingsPath.substr(0, slash + 1);
  return folder + ".minecraft/";
}

CSettings ReadSettings(const std::string& settingsPath) {
  CSettings settings(settingsPath);
  settings.ReadFile();
  return settings;
}

bool IsMicrosoftAccountChoice(const std::string& authServer) { return EqualsNoCase(authServer, kMicrosoftAuthServer); }

CSettings::CSettings() : CSettings(SettingsFilePath()) {}

CSettings::CSettings(std::string settingsPath) : path_(std::move(settingsPath)) {}

void CSettings::ReadFile() {
  LoadAccount();
  const auto value = [this](const char* key) { return profile::GetValue(path_, kSection, key); };
  gamePath = value("GamePath").value_or("");
  if (gamePath.empty()) gamePath = DefaultGameFolder(path_);
  game = ReadGameSettings(path_, kSection);
  game.windowWidth.reset();
  game.windowHeight.reset();
  // An empty size stays empty; a missing one has its default.
  if (!value("JVMMemoryMin")) game.memoryMin = 512;
  if (!value("JVMMemoryMax")) game.memoryMax = 1024;
  // The sizes are used only when automatic memory is exactly "false".
  if (!game.autoMemory) game.autoMemory = true;
  isShowCmd = profile::ParseFlag(value("IsShowCmd").value_or("")).value_or(false);
  isKeepLog = profile::ParseFlag(value("IsKeepLog").value_or("")).value_or(false);
  downloadSource = ParseSourceKind(value("DownloadSource").value_or(""));
  downloadThreads = ParseThreadCount(value("DownloadThreads"));
  javaPathDiscovered = false;
  loaded_ = Texts(true);
}

void CSettings::Load(const JavaRuntimeSource& java) {
  ReadFile();
  if (game.javaPath.value_or("").empty()) {
    std::string foundPath;
    std::string foundVersion;
    if (FindDefaultJava(java, foundPath, foundVersion)) {
      game.javaPath = NormaliseJavaPath(foundPath);
      game.javaVer = game.javaVer.value_or("") + foundVersion;
      javaPathDiscovered = true;
    }
  }
}

void CSettings::LoadAccount() {
  const auto value = [this](const char* key) { return profile::GetValue(path_, kSection, key).value_or(""); };
  userName = DecodeSettingsText(value("UserName"));
  if (userName.empty()) userName = "Player";
  password = DecodeSettingsText(value("PWD"));
  isGenuine = profile::ParseFlag(value("IsGenuine")).value_or(false);
  authServer = value("AuthServer");
  msaClientId = value("MsaClientId");
  loaded_ = Texts(false);
}

bool CSettings::Save() { return Write(true); }

bool CSettings::SaveAccount() { return Write(false); }

std::map<std::string, std::optional<std::string>> CSettings::Texts(bool everything) const {
  std::map<std::string, std::optional<std::string>> texts{{"UserName", EncodeSettingsText(userName)},
                                                          {"PWD", EncodeSettingsText(password)}};
  // Only where it is set, so that a file of the Windows build keeps its bytes.
  texts["AuthServer"] = authServer.empty() ? std::nullopt : std::optional(authServer);
  texts["MsaClientId"] = msaClientId.empty() ? std::nullopt : std::optional(msaClientId);
  if (!everything) return texts;
  texts["IsGenuine"] = std::string(profile::FlagText(isGenuine));
  texts["GamePath"] = gamePath;
  for (GameSettingText& setting : GameSettingTexts(game)) {
    // The launcher's section states every value, an empty one included.
    if (!IsWindowSizeKey(setting.key)) texts[setting.key] = setting.text.value_or("");
  }
  texts["IsShowCmd"] = std::string(profile::FlagText(isShowCmd));
  // Absent means "false": a file of the Windows build keeps its bytes until it is set, as it
  // does for the download source, which that build does not know.
  texts["IsKeepLog"] = isKeepLog ? std::optional<std::string>("true") : std::nullopt;
  texts["DownloadSource"] = downloadSource ? std::optional<std::string>(SourceKindName(*downloadSource)) : std::nullopt;
  texts["DownloadThreads"] = downloadThreads ? std::optional(std::to_string(*downloadThreads)) : std::nullopt;
  return texts;
}

bool CSettings::Write(bool everything) {
  const auto texts = Texts(everything);
  std::vector<profile::Write> writes;
  for (const auto& [key, text] : texts) {
    const auto loaded = loaded_.find(key);
    if (loaded != loaded_.end() && loaded->second == text) continue;
    writes.push_back({kSection, key, text ? std::optional<std::string_view>(*text) : std::nullopt});
  }
  if (!writes.empty() && !profile::WriteStrings(path_, writes)) return false;
  for (const auto& [key, text] : texts) loaded_[key] = text;
  return true;
}

}  // namespace kv
