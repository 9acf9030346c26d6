// The player's extra Java arguments and the game-argument template: the first line of the
// input is the template, the rest the extra arguments.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "launch/argument_words.h"
#include "launch/launch_command.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::size_t newline = text.find('\n');
  kv::VersionDescription description;
  description.id = "1.7.10";
  description.mainClass = "M";
  description.minecraftArguments = std::string(text.substr(0, newline));
  kv::LaunchInputs inputs;
  inputs.javaPath = "java";
  inputs.gamePath = "/game/";
  inputs.playerName = "${auth_access_token} ${user_type}";
  inputs.accessToken = "a b";
  inputs.launchParameters = newline == std::string_view::npos ? "" : std::string(text.substr(newline + 1));

  std::size_t wordsLength = 0;
  for (const std::string& word : kv::SplitArgumentWords(inputs.launchParameters)) wordsLength += word.size();
  if (wordsLength > inputs.launchParameters.size()) std::abort();

  for (const kv::PlatformProfile* profile : {&kv::PlatformProfile::Windows(), &kv::PlatformProfile::Linux()}) {
    const kv::LaunchCommandResult built = kv::BuildLaunchCommand(description, inputs, *profile, 32);
    if (!built.command) std::abort();
    if (built.command->arguments.empty() || built.command->arguments.front() != "java") std::abort();
  }
  return 0;
}
