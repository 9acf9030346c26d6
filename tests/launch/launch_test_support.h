#pragma once

#include <string>
#include <vector>

#include "launch/launch_command.h"
#include "platform/platform_profile.h"

// What the tests of published versions' commands share.
namespace kv::test {

// The parts of `text` between the separators (one part for a text without any).
inline std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

// An offline player "Steve" launching the instance "inst" under the profile's paths.
inline LaunchInputs ProfileInputs(const PlatformProfile& profile) {
  LaunchInputs inputs;
  const bool windows = &profile == &PlatformProfile::Windows();
  inputs.javaPath = windows ? "C:\\Java\\bin\\javaw.exe" : "/usr/bin/java";
  inputs.gamePath = windows ? "C:\\K\\.minecraft\\" : "/k/.minecraft/";
  inputs.playerName = "Steve";
  inputs.instanceName = "inst";
  inputs.userType = "legacy";
  inputs.osVersion = windows ? "10.0" : "6.1.0-13-amd64";
  inputs.launcherVersion = "0.1.3";
  return inputs;
}

}  // namespace kv::test
