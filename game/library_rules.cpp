#include "game/library_rules.h"

#include <re2/re2.h>

#include <algorithm>

namespace kv {
namespace {

constexpr std::size_t kLongestVersionPattern = 256;

// The pattern comes from the network: RE2 matches in time linear in the text and bounds the
// memory a pattern may take, so no pattern can hang or exhaust a launch the way a
// backtracking matcher can ("((.*)*)*x"). One that does not compile matches nothing.
bool VersionMatches(const std::string& pattern, const std::string& version) {
  if (pattern.size() > kLongestVersionPattern) return false;
  RE2::Options options;
  options.set_log_errors(false);
  const RE2 expression(pattern, options);
  return expression.ok() && RE2::PartialMatch(version, expression);
}

bool FeatureOn(const RuleEnvironment& environment, const std::string& feature) {
  return std::find(environment.features.begin(), environment.features.end(), feature) != environment.features.end();
}

}  // namespace

RuleEnvironment SystemRuleEnvironment(const PlatformProfile& profile, int bitness, std::string osVersion) {
  return {profile.osName, bitness == 32 ? "x86" : "x86_64", std::move(osVersion), {}};
}

bool RuleMatches(const LibraryRule& rule, const RuleEnvironment& environment) {
  if (!rule.osName.empty() && rule.osName != environment.osName) return false;
  if (!rule.osArch.empty() && rule.osArch != environment.osArch) return false;
  if (!rule.osVersion.empty() && !VersionMatches(rule.osVersion, environment.osVersion)) return false;
  for (const auto& [feature, wanted] : rule.features) {
    if (FeatureOn(environment, feature) != wanted) return false;
  }
  return true;
}

bool RulesAllow(const std::vector<LibraryRule>& rules, const RuleEnvironment& environment) {
  if (rules.empty()) return true;
  bool allowed = false;
  for (const LibraryRule& rule : rules) {
    if (RuleMatches(rule, environment)) allowed = rule.action == "allow";
  }
  return allowed;
}

bool HonoursLibraryRules(const VersionDescription& description, const PlatformProfile& profile) {
  return profile.honoursLibraryRules || IsModernForm(description);
}

bool IsLibraryUsed(const LibraryEntry& library, const RuleEnvironment& environment, bool honourRules) {
  return !honourRules || RulesAllow(library.rules, environment);
}

}  // namespace kv
