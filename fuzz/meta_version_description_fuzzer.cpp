// Version descriptions from the network: parsed, then turned into library paths and a launch
// command under both profiles. Every library path built must stay inside the game folder, and
// so must the class path the launcher writes for the older form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/library_paths.h"
#include "launch/launch_command.h"
#include "meta/version_description.h"

namespace {

bool ClimbsOut(const std::string& path) {
  return path.find("/../") != std::string::npos || path.find("\\..") != std::string::npos ||
         path.ends_with("/..");
}

void CheckCommand(const kv::VersionDescription& description, const kv::PlatformProfile& profile) {
  kv::LaunchInputs inputs;
  inputs.javaPath = "/usr/bin/java";
  inputs.gamePath = "/game/";
  inputs.playerName = "Steve";
  inputs.instanceName = "inst";
  inputs.userType = "legacy";
  const kv::LaunchCommandResult built = kv::BuildLaunchCommand(description, inputs, profile, 64);
  // A description of today's form writes its own Java arguments, "-cp" among them; only its
  // libraries' paths are the launcher's, and those are checked above.
  if (!built.command || kv::IsModernForm(description)) return;
  const kv::LaunchCommand& command = *built.command;
  // "-cp" is followed by the class path; nothing on it may leave the game folder.
  for (std::size_t i = 0; i + 1 < command.arguments.size(); ++i) {
    if (command.arguments[i] != "-cp") continue;
    const std::string& classPath = command.arguments[i + 1];
    std::size_t start = 0;
    while (start <= classPath.size()) {
      std::size_t end = classPath.find(profile.classPathSeparator, start);
      if (end == std::string::npos) end = classPath.size();
      const std::string entry = classPath.substr(start, end - start);
      if (entry.rfind("/game/", 0) != 0 || ClimbsOut(entry.substr(6))) std::abort();
      start = end + 1;
    }
    break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  kv::VersionDescription description;
  if (!kv::ParseVersionDescription(text, description)) return 0;
  for (const kv::LibraryEntry& library : description.libraries) {
    // What every caller checks: the coordinate and the path the description gives.
    if (!kv::IsSafeLibrary(library)) continue;
    // Paths are joined by concatenation, so only ".." segments could climb out.
    const std::string path = kv::LibraryLocalPath("/game/", library, kv::PlatformProfile::Linux(), 64);
    if (ClimbsOut(path)) std::abort();
  }
  CheckCommand(description, kv::PlatformProfile::Windows());
  CheckCommand(description, kv::PlatformProfile::Linux());
  return 0;
}
