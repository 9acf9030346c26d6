#include "settings/game_settings.h"

#include <algorithm>

#include "platform/profile_store.h"

namespace kv {
namespace {

std::optional<std::string> NumberText(const std::optional<int>& value) {
  if (!value) return std::nullopt;
  return std::to_string(*value);
}

std::optional<std::string> UnlessEmpty(std::optional<std::string> text) {
  if (text && text->empty()) return std::nullopt;
  return text;
}

}  // namespace

std::optional<int> ParseWholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
    return std::nullopt;
  }
  return std::stoi(std::string(text));
}

std::vector<GameSettingText> GameSettingTexts(const GameSettings& values) {
  std::optional<std::string> autoMemory;
  if (values.autoMemory) autoMemory = std::string(profile::FlagText(*values.autoMemory));
  return {{"JavaPath", values.javaPath},
          {"JavaVer", values.javaVer},
          {"IsAutoMallocMemory", autoMemory},
          {"JVMMemoryMin", NumberText(values.memoryMin)},
          {"JVMMemoryMax", NumberText(values.memoryMax)},
          {"LaunchParameters", values.launchParameters},
          {"WindowWidth", NumberText(values.windowWidth)},
          {"WindowHeight", NumberText(values.windowHeight)}};
}

std::optional<std::string> GameSettingTextOf(const GameSettings& values, std::string_view key) {
  for (GameSettingText& setting : GameSettingTexts(values)) {
    if (setting.key == key) return std::move(setting.text);
  }
  return std::nullopt;
}

GameSettings ReadGameSettings(const std::string& file, std::string_view section) {
  // An empty text is a value (no launch parameters, Java found automatically); an empty
  // number or flag is not.
  const auto text = [&](const char* key) { return profile::GetValue(file, section, key); };
  const auto number = [&](const char* key) -> std::optional<int> {
    const std::optional<std::string> value = UnlessEmpty(text(key));
    return value ? ParseWholeNumber(*value) : std::nullopt;
  };
  GameSettings values;
  values.javaPath = text("JavaPath");
  values.javaVer = text("JavaVer");
  if (const std::optional<std::string> flag = text("IsAutoMallocMemory")) values.autoMemory = profile::ParseFlag(*flag);
  values.memoryMin = number("JVMMemoryMin");
  values.memoryMax = number("JVMMemoryMax");
  values.launchParameters = text("LaunchParameters");
  values.windowWidth = number("WindowWidth");
  values.windowHeight = number("WindowHeight");
  return values;
}

GameSettings GameSettingsInForce(const GameSettings& own, const GameSettings& launcher) {
  const auto pick = [](const auto& mine, const auto& theirs) { return mine ? mine : theirs; };
  GameSettings values;
  values.javaPath = pick(own.javaPath, launcher.javaPath);
  // A version stated beside the launcher's Java says nothing of the instance's.
  values.javaVer = own.javaPath ? own.javaVer : launcher.javaVer;
  values.autoMemory = pick(own.autoMemory, launcher.autoMemory);
  values.memoryMin = pick(own.memoryMin, launcher.memoryMin);
  values.memoryMax = pick(own.memoryMax, launcher.memoryMax);
  values.launchParameters = pick(own.launchParameters, launcher.launchParameters);
  values.windowWidth = pick(own.windowWidth, launcher.windowWidth);
  values.windowHeight = pick(own.windowHeight, launcher.windowHeight);
  return values;
}

}  // namespace kv
