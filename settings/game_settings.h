#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The values that decide how the game starts. The launcher's section of the settings file
// fills one, and an instance's own section fills another under the same key names; what an
// instance does not set follows the launcher.
namespace kv {

struct GameSettings {
  // Every member without a value is "not set here".
  std::optional<std::string> javaPath;
  std::optional<std::string> javaVer;
  std::optional<bool> autoMemory;
  // Heap sizes in MB.
  std::optional<int> memoryMin;
  std::optional<int> memoryMax;
  std::optional<std::string> launchParameters;
  // The game window's size in pixels.
  std::optional<int> windowWidth;
  std::optional<int> windowHeight;

  bool operator==(const GameSettings&) const = default;
};

// The key names in the file: JavaPath, JavaVer, IsAutoMallocMemory, JVMMemoryMin,
// JVMMemoryMax, LaunchParameters, WindowWidth, WindowHeight.
struct GameSettingText {
  const char* key;
  // Nothing when the member has no value.
  std::optional<std::string> text;
};
std::vector<GameSettingText> GameSettingTexts(const GameSettings& values);
// The text of one key (as GameSettingTexts names it); nothing for a member without a value
// and for an unknown key.
std::optional<std::string> GameSettingTextOf(const GameSettings& values, std::string_view key);

// Reads a section: a missing key, or one whose text is no value of its kind, is not set (an
// empty text is a value; an empty number or flag is not).
GameSettings ReadGameSettings(const std::string& file, std::string_view section);

// The values in force where `own` stands over `launcher`: each member of `own` that has a
// value, the launcher's otherwise. A Java path brings its version along.
GameSettings GameSettingsInForce(const GameSettings& own, const GameSettings& launcher);

// A whole number of at most nine digits (no sign, no blanks); nothing for any other text.
std::optional<int> ParseWholeNumber(std::string_view text);

}  // namespace kv
