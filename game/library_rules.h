#pragma once

#include <string>
#include <vector>

#include "meta/version_description.h"
#include "platform/platform_profile.h"

// The rules of libraries and arguments: conditions on the system and on the launch's features.
namespace kv {

// What rules are compared with.
struct RuleEnvironment {
  std::string osName;                 // "windows", "linux", "osx"
  std::string osArch;                 // "x86" on a 32-bit system, "x86_64" on a 64-bit one
  std::string osVersion;              // the system's version, e.g. "10.0" or a kernel release
  std::vector<std::string> features;  // the launch features that are on; all others are off
};

// The system's side of the environment (no features on).
RuleEnvironment SystemRuleEnvironment(const PlatformProfile& profile, int bitness, std::string osVersion);

// A rule matches when each part it names matches: the system name and architecture exactly,
// the version by its regular expression (searched; a pattern that does not compile, or is
// longer than 256 characters, never matches), and every feature it names has the value it
// asks for.
bool RuleMatches(const LibraryRule& rule, const RuleEnvironment& environment);

// No rules allow. Otherwise the last rule that matches decides ("allow" or anything else), and
// nothing is allowed when none matches.
bool RulesAllow(const std::vector<LibraryRule>& rules, const RuleEnvironment& environment);

// Whether a description's library rules are evaluated: always for today's form (its natives
// are separate libraries for each system); for the older form only where the profile does so
// (the Windows build takes every library of such a description).
bool HonoursLibraryRules(const VersionDescription& description, const PlatformProfile& profile);

// Whether a library is put on the download plan and the command line.
bool IsLibraryUsed(const LibraryEntry& library, const RuleEnvironment& environment, bool honourRules);

}  // namespace kv
