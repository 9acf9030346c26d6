#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crash/crash_action.h"
#include "util/result.h"

// The causes of a crash as data: the table in crash_rules.json, built into the launcher.
namespace kv {

// A number worked out from a captured one, e.g. the Java release from a class file version.
struct DerivedValue {
  std::string name;
  std::string from;  // the capture it is worked out from
  long long subtract = 0;
  long long divide = 1;
};

struct CrashRule {
  std::string id;
  std::string title;
  std::vector<std::string> patterns;  // RE2, named groups capture what the texts name
  std::optional<int> exitStatus;      // matches by the game's exit status instead
  std::string item;                   // filled for every match, joined into {items}
  std::string explanation;
  std::vector<DerivedValue> derived;
  CrashAction action = CrashAction::None;
  int specificity = 0;                // the most specific matching cause is the one named
  std::vector<std::string> excludes;  // causes that do not apply when this one matches
};

struct CrashRuleTable {
  std::vector<CrashRule> rules;
  // Ids that read better by their name ("fabric" is "Fabric API").
  std::map<std::string, std::string> names;
};

// A table from its JSON text; fails, saying where, when it is not made as described at the top
// of crash_rules.json. The patterns are checked when the analyzer compiles them.
Result<CrashRuleTable> ParseCrashRules(std::string_view json);

// The JSON text of the table built into the launcher.
std::string_view BuiltInCrashRulesJson();

}  // namespace kv
