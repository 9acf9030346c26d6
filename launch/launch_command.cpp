#include "launch/launch_command.h"

#include <string_view>
#include <utility>

#include "game/game_layout.h"
#include "game/library_paths.h"
#include "launch/argument_words.h"

namespace kv {
namespace {

// A piece of the command line gets double quotes around it when it holds a blank, and no
// other treatment: this is what the command interpreter and java's own parsing expect.
std::string Quoted(const std::string& text) {
  return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

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
  bool quoted;  // in the one-line text only; arguments are never quoted
};

// Replaces the first occurrence of the placeholder, searching the words in order; "{}"
// stands for an empty value.
void ReplacePlaceholder(std::vector<Word>& words, const Fill& fill, bool quote) {
  std::string value = quote && fill.quoted ? Quoted(fill.value) : fill.value;
  if (value.empty()) value = "{}";
  for (Word& word : words) {
    for (std::size_t i = 0; i < word.size(); ++i) {
      if (!word[i].fromTemplate) continue;
      const std::size_t at = word[i].text.find(fill.placeholder);
      if (at == std::string::npos) continue;
      std::string after = word[i].text.substr(at + fill.placeholder.size());
      word[i].text.resize(at);
      word.insert(word.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                  {Run{std::move(value), false}, Run{std::move(after), true}});
      return;
    }
  }
}

std::vector<Word> FillTemplate(std::vector<Word> words, const std::vector<Fill>& fills, bool quote) {
  for (const Fill& fill : fills) ReplacePlaceholder(words, fill, quote);
  return words;
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

std::vector<Fill> PlaceholderValues(const VersionDescription& description,
                                    const LaunchInputs& inputs, const PlatformProfile& profile) {
  const std::string& game = inputs.gamePath;
  auto unlessNoGameFolder = [&game](std::string value) { return game.empty() ? std::string() : value; };
  std::vector<Fill> fills;
  fills.push_back({"${auth_player_name}", inputs.playerName, true});
  fills.push_back({"${version_name}", description.id, false});
  fills.push_back({"${game_directory}", unlessNoGameFolder(GameDirectoryArgument(game, inputs.instanceName)), true});
  if (inputs.legacyAssets) {
    fills.push_back({"${game_assets}", unlessNoGameFolder(LegacyAssetArgument(game)), true});
  } else {
    fills.push_back({"${assets_root}", unlessNoGameFolder(AssetRootArgument(game, profile)), true});
  }
  fills.push_back({"${assets_index_name}", description.assets, false});
  fills.push_back({"${auth_uuid}", inputs.playerId, false});
  fills.push_back({"${auth_access_token}", inputs.accessToken, false});
  fills.push_back({"${user_properties}", inputs.userProperties, false});
  fills.push_back({"${user_type}", inputs.userType, false});
  return fills;
}

}  // namespace

LaunchCommandResult BuildLaunchCommand(const VersionDescription& description, const LaunchInputs& inputs,
                                       const PlatformProfile& profile, int bitness) {
  using Refusal = LaunchCommandResult::Refusal;
  if (inputs.gamePath.find(profile.classPathSeparator) != std::string::npos) {
    return {std::nullopt, inputs.gamePath, Refusal::GameFolderSplitsClassPath};
  }
  if (!IsSafeVersionId(description.id)) return {std::nullopt, description.id, Refusal::UnsafeName};
  std::vector<std::string> nativesFolders;
  std::vector<std::string> classPath;
  for (const LibraryEntry& library : description.libraries) {
    if (!IsLibraryUsed(library, profile)) continue;
    // A class-path separator inside a library's path would split it into entries of the
    // network's choosing.
    if (!IsSafeLibraryCoordinate(library.name) ||
        LibraryRelativePath(library, profile, bitness).find(profile.classPathSeparator) != std::string::npos) {
      return {std::nullopt, library.name, Refusal::UnsafeName};
    }
    const std::string jar = LibraryLocalPath(inputs.gamePath, library, profile, bitness);
    if (IsNativeLibrary(library, profile)) nativesFolders.push_back(NativesFolder(jar));
    classPath.push_back(jar);
  }
  const std::string versionJar = VersionJarCommandPath(inputs.gamePath, description.id, profile);
  const char separator = profile.classPathSeparator;

  std::vector<std::string> javaOptions = inputs.leadingJvmArguments;
  if (inputs.isAutoMallocMemory == "false") {
    javaOptions.push_back("-Xms" + inputs.jvmMemoryMin + "M");
    javaOptions.push_back("-Xmx" + inputs.jvmMemoryMax + "M");
  }
  for (std::string& word : SplitArgumentWords(inputs.launchParameters)) javaOptions.push_back(std::move(word));

  const std::vector<Fill> fills = PlaceholderValues(description, inputs, profile);

  // The line: every piece as the command interpreter reads it.
  std::string line = profile.startsThroughShell ? "\"" : "";
  line += Quoted(inputs.javaPath);
  for (const std::string& option : javaOptions) line += " " + Quoted(option);
  line += " -Djava.library.path=";
  for (const std::string& folder : nativesFolders) line += Quoted(folder) + separator;
  line += " -cp ";
  for (const std::string& jar : classPath) line += Quoted(jar) + separator;
  line += Quoted(versionJar);
  line += " " + description.mainClass + " ";
  line += Joined(FillTemplate({{Run{description.minecraftArguments, true}}}, fills, true).front());
  if (profile.startsThroughShell) line += "\"";

  // The argument vector: the same pieces, nothing quoted. No separator trails the library
  // path, since an empty entry there would add the working directory to it.
  std::vector<std::string> arguments{inputs.javaPath};
  arguments.insert(arguments.end(), javaOptions.begin(), javaOptions.end());
  std::string libraryPath = "-Djava.library.path=";
  for (std::size_t i = 0; i < nativesFolders.size(); ++i) {
    if (i > 0) libraryPath += separator;
    libraryPath += nativesFolders[i];
  }
  arguments.push_back(std::move(libraryPath));
  arguments.push_back("-cp");
  std::string joinedClassPath;
  for (const std::string& jar : classPath) joinedClassPath += jar + separator;
  arguments.push_back(joinedClassPath + versionJar);
  arguments.push_back(description.mainClass);
  for (const Word& word : FillTemplate(SplitOnBlanks(description.minecraftArguments), fills, false)) {
    arguments.push_back(Joined(word));
  }

  return {LaunchCommand{std::move(line), std::move(arguments)}, {}, Refusal::None};
}

}  // namespace kv
