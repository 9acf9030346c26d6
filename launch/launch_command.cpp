#include "launch/launch_command.h"

#include <string_view>
#include <utility>

#include "game/game_layout.h"
#include "game/library_paths.h"
#include "game/library_rules.h"
#include "launch/argument_words.h"

namespace kv {
namespace {

// A piece of the command line gets double quotes around it when it holds a blank, and no
// other treatment: this is what the command interpreter and java's own parsing expect.
std::string Quoted(const std::string& text) {
  return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

// An argument of its own on the one-line text: an empty one is written as "".
std::string QuotedWord(const std::string& text) { return text.empty() ? "\"\"" : Quoted(text); }

// Argument text as runs that came from the template and runs that were filled in. Only the
// template's runs are searched, so a value that itself looks like a placeholder stays as the
// player or the account service gave it.
struct Run {
  std::string text;
  bool fromTemplate;
};
using Word = std::vector<Run>;

struct Fill {
  std::string_view placeholder;
  std::string value;
  bool quoted;        // in the one-line text only; arguments are never quoted
  bool emptyAsBraces; // an empty value is written "{}", as the older template always had it
};

std::string FilledValue(const Fill& fill, bool quote) {
  std::string value = quote && fill.quoted ? Quoted(fill.value) : fill.value;
  if (value.empty() && fill.emptyAsBraces) value = "{}";
  return value;
}

// Replaces the first occurrence of the placeholder, searching the words in order.
void ReplaceFirst(std::vector<Word>& words, const Fill& fill, bool quote) {
  for (Word& word : words) {
    for (std::size_t i = 0; i < word.size(); ++i) {
      if (!word[i].fromTemplate) continue;
      const std::size_t at = word[i].text.find(fill.placeholder);
      if (at == std::string::npos) continue;
      std::string after = word[i].text.substr(at + fill.placeholder.size());
      word[i].text.resize(at);
      word.insert(word.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                  {Run{FilledValue(fill, quote), false}, Run{std::move(after), true}});
      return;
    }
  }
}

std::vector<Word> FillFirstOccurrences(std::vector<Word> words, const std::vector<Fill>& fills, bool quote) {
  for (const Fill& fill : fills) ReplaceFirst(words, fill, quote);
  return words;
}

// Every placeholder of the text filled in one pass from the left, so that nothing filled in is
// looked at again.
std::string FillEveryOccurrence(std::string_view text, const std::vector<Fill>& fills) {
  std::string filled;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find("${", at);
    if (open == std::string_view::npos) break;
    const std::size_t close = text.find('}', open);
    if (close == std::string_view::npos) break;
    filled.append(text.substr(at, open - at));
    const std::string_view placeholder = text.substr(open, close + 1 - open);
    const Fill* fill = nullptr;
    for (const Fill& candidate : fills) {
      if (candidate.placeholder == placeholder) fill = &candidate;
    }
    filled += fill ? FilledValue(*fill, false) : std::string(placeholder);
    at = close + 1;
  }
  filled.append(text.substr(at));
  return filled;
}

std::string Joined(const Word& word) {
  std::string text;
  for (const Run& run : word) text += run.text;
  return text;
}

std::vector<Word> SplitOnBlanks(std::string_view text) {
  std::vector<Word> words;
  std::size_t start = 0;
  while (true) {
    start = text.find_first_not_of(" \t\r\n", start);
    if (start == std::string_view::npos) break;
    std::size_t end = text.find_first_of(" \t\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    words.push_back({Run{std::string(text.substr(start, end - start)), true}});
    start = end;
  }
  return words;
}

std::string JoinedWith(const std::vector<std::string>& parts, char separator) {
  std::string joined;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) joined += separator;
    joined += parts[i];
  }
  return joined;
}

// The libraries of the command: the class path (the version jar last) and the natives folders.
struct LibraryPaths {
  std::vector<std::string> classPath;
  std::vector<std::string> nativesFolders;
};

struct WindowSize {
  int width;
  int height;
};

std::optional<WindowSize> CustomWindowSize(const LaunchInputs& inputs) {
  if (!inputs.windowWidth && !inputs.windowHeight) return std::nullopt;
  return WindowSize{inputs.windowWidth.value_or(854), inputs.windowHeight.value_or(480)};
}

// The system's environment with the launch's features: the custom resolution with a window size.
RuleEnvironment ArgumentEnvironment(RuleEnvironment environment, const LaunchInputs& inputs) {
  if (CustomWindowSize(inputs)) environment.features.push_back("has_custom_resolution");
  return environment;
}

std::vector<Fill> PlaceholderValues(const VersionDescription& description, const LaunchInputs& inputs,
                                    const PlatformProfile& profile, const LibraryPaths& paths) {
  const std::string& game = inputs.gamePath;
  auto unlessNoGameFolder = [&game](std::string value) { return game.empty() ? std::string() : value; };
  const char separator = profile.classPathSeparator;
  std::vector<Fill> fills;
  fills.push_back({"${auth_player_name}", inputs.playerName, true, true});
  fills.push_back({"${version_name}", description.id, false, true});
  fills.push_back({"${game_directory}", unlessNoGameFolder(GameDirectoryArgument(game, inputs.instanceName)), true, true});
  if (inputs.legacyAssets) {
    fills.push_back({"${game_assets}", unlessNoGameFolder(LegacyAssetArgument(game)), true, true});
  } else {
    fills.push_back({"${assets_root}", unlessNoGameFolder(AssetRootArgument(game, profile)), true, true});
  }
  fills.push_back({"${assets_index_name}", description.assets, false, true});
  fills.push_back({"${auth_uuid}", inputs.playerId, false, true});
  fills.push_back({"${auth_access_token}", inputs.accessToken, false, true});
  fills.push_back({"${user_properties}", inputs.userProperties, false, true});
  fills.push_back({"${user_type}", inputs.userType, false, true});
  fills.push_back({"${version_type}", description.type, false, false});
  // Only a Microsoft account has them; for any other both stay empty, and the option before
  // each is kept, as the game expects its pairs.
  fills.push_back({"${clientid}", inputs.clientId, false, false});
  fills.push_back({"${auth_xuid}", inputs.xuid, false, false});
  fills.push_back({"${natives_directory}", JoinedWith(paths.nativesFolders, separator), true, false});
  fills.push_back({"${launcher_name}", inputs.launcherName, true, false});
  fills.push_back({"${launcher_version}", inputs.launcherVersion, true, false});
  fills.push_back({"${classpath}", JoinedWith(paths.classPath, separator), true, false});
  fills.push_back({"${classpath_separator}", std::string(1, separator), false, false});
  fills.push_back({"${library_directory}", LibraryDirectoryArgument(game), true, false});
  // Only arguments for a custom window size use these.
  const std::optional<WindowSize> window = CustomWindowSize(inputs);
  fills.push_back({"${resolution_width}", window ? std::to_string(window->width) : std::string(), false, false});
  fills.push_back({"${resolution_height}", window ? std::to_string(window->height) : std::string(), false, false});
  return fills;
}

// The values of the list's entries that the rules allow, every placeholder filled.
std::vector<std::string> FilledArguments(const std::vector<ArgumentEntry>& entries, const RuleEnvironment& environment,
                                         const std::vector<Fill>& fills) {
  std::vector<std::string> arguments;
  for (const ArgumentEntry& entry : entries) {
    if (!RulesAllow(entry.rules, environment)) continue;
    for (const std::string& value : entry.values) arguments.push_back(FillEveryOccurrence(value, fills));
  }
  return arguments;
}

}  // namespace

LaunchCommandResult BuildLaunchCommand(const VersionDescription& description, const LaunchInputs& inputs,
                                       const PlatformProfile& profile, int bitness) {
  using Refusal = LaunchCommandResult::Refusal;
  if (inputs.gamePath.find(profile.classPathSeparator) != std::string::npos) {
    return {std::nullopt, inputs.gamePath, Refusal::GameFolderSplitsClassPath};
  }
  if (!IsSafeVersionId(description.id)) return {std::nullopt, description.id, Refusal::UnsafeName};
  const RuleEnvironment environment = SystemRuleEnvironment(profile, bitness, inputs.osVersion);
  const bool honourRules = HonoursLibraryRules(description, profile);
  LibraryPaths paths;
  for (const LibraryEntry& library : description.libraries) {
    if (!IsLibraryUsed(library, environment, honourRules)) continue;
    // A class-path separator inside a library's path would split it into entries of the
    // network's choosing.
    if (!IsSafeLibrary(library) ||
        LibraryRelativePath(library, profile, bitness).find(profile.classPathSeparator) != std::string::npos) {
      return {std::nullopt, library.name, Refusal::UnsafeName};
    }
    const std::string jar = LibraryLocalPath(inputs.gamePath, library, profile, bitness);
    if (IsNativeLibrary(library, profile)) paths.nativesFolders.push_back(NativesFolder(jar));
    paths.classPath.push_back(jar);
  }
  // Natives that come as jars on the class path are unpacked by the game itself, into the
  // folder it is told: without one it would use its working folder.
  if (paths.nativesFolders.empty()) {
    paths.nativesFolders.push_back(VersionNativesFolder(inputs.gamePath, description.id, profile));
  }
  paths.classPath.push_back(VersionJarCommandPath(inputs.gamePath, description.id, profile));
  const char separator = profile.classPathSeparator;

  std::vector<std::string> javaOptions = inputs.leadingJvmArguments;
  if (!inputs.autoMemory) {
    if (inputs.memoryMin) javaOptions.push_back("-Xms" + std::to_string(*inputs.memoryMin) + "M");
    if (inputs.memoryMax) javaOptions.push_back("-Xmx" + std::to_string(*inputs.memoryMax) + "M");
  }
  for (std::string& word : SplitArgumentWords(inputs.launchParameters)) javaOptions.push_back(std::move(word));

  const std::vector<Fill> fills = PlaceholderValues(description, inputs, profile, paths);
  std::vector<std::string> describedJava;
  const RuleEnvironment argumentEnvironment = ArgumentEnvironment(environment, inputs);
  if (description.jvmArguments) describedJava = FilledArguments(*description.jvmArguments, argumentEnvironment, fills);
  if (!inputs.logConfigPath.empty() && !description.logging.argument.empty()) {
    describedJava.push_back(FillEveryOccurrence(description.logging.argument, {{"${path}", inputs.logConfigPath, true, false}}));
  }
  // Today's game arguments stand when the description has no template of the older form.
  const bool templateArguments = !description.minecraftArguments.empty() || !description.gameArguments;
  std::vector<std::string> gameArguments;
  if (!templateArguments) gameArguments = FilledArguments(*description.gameArguments, argumentEnvironment, fills);

  // The line: every piece as the command interpreter reads it.
  std::string line = profile.startsThroughShell ? "\"" : "";
  line += Quoted(inputs.javaPath);
  for (const std::string& option : javaOptions) line += " " + Quoted(option);
  if (!description.jvmArguments) {
    // The Windows build ends every natives folder with the separator; the host's line shows
    // the arguments as they are, and ends no list with one.
    line += " -Djava.library.path=";
    for (std::size_t i = 0; i < paths.nativesFolders.size(); ++i) {
      line += Quoted(paths.nativesFolders[i]);
      if (profile.startsThroughShell || i + 1 < paths.nativesFolders.size()) line += separator;
    }
    line += " -cp ";
    for (std::size_t i = 0; i + 1 < paths.classPath.size(); ++i) line += Quoted(paths.classPath[i]) + separator;
    line += Quoted(paths.classPath.back());
  }
  for (const std::string& argument : describedJava) line += " " + QuotedWord(argument);
  line += " " + description.mainClass;
  if (templateArguments) {
    line += " " + Joined(FillFirstOccurrences({{Run{description.minecraftArguments, true}}}, fills, true).front());
  }
  for (const std::string& argument : gameArguments) line += " " + QuotedWord(argument);
  if (profile.startsThroughShell) line += "\"";

  // The argument vector: the same pieces, nothing quoted. No separator trails the library
  // path, since an empty entry there would add the working directory to it.
  std::vector<std::string> arguments{inputs.javaPath};
  arguments.insert(arguments.end(), javaOptions.begin(), javaOptions.end());
  if (!description.jvmArguments) {
    arguments.push_back("-Djava.library.path=" + JoinedWith(paths.nativesFolders, separator));
    arguments.push_back("-cp");
    arguments.push_back(JoinedWith(paths.classPath, separator));
  }
  arguments.insert(arguments.end(), describedJava.begin(), describedJava.end());
  arguments.push_back(description.mainClass);
  if (templateArguments) {
    for (const Word& word : FillFirstOccurrences(SplitOnBlanks(description.minecraftArguments), fills, false)) {
      arguments.push_back(Joined(word));
    }
  }
  arguments.insert(arguments.end(), gameArguments.begin(), gameArguments.end());

  return {LaunchCommand{std::move(line), std::move(arguments), std::move(paths.nativesFolders)}, {}, Refusal::None};
}

}  // namespace kv
