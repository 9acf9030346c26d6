#include "game/library_rules.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

const PlatformProfile& kWindows = PlatformProfile::Windows();
const PlatformProfile& kLinux = PlatformProfile::Linux();

LibraryRule Rule(std::string action, std::string osName = "", std::string osArch = "", std::string osVersion = "") {
  LibraryRule rule;
  rule.action = std::move(action);
  rule.osName = std::move(osName);
  rule.osArch = std::move(osArch);
  rule.osVersion = std::move(osVersion);
  return rule;
}

LibraryEntry Library(std::vector<LibraryRule> rules) {
  LibraryEntry library;
  library.name = "a:b:1";
  library.rules = std::move(rules);
  return library;
}

TEST(LibraryRules, TheLastMatchingRuleDecides) {
  struct Case {
    std::vector<LibraryRule> rules;
    bool used;
  };
  const Case cases[] = {
      {{}, true},
      {{Rule("allow")}, true},
      {{Rule("allow", "osx")}, false},  // nothing matches
      {{Rule("allow", "linux")}, true},
      {{Rule("allow"), Rule("disallow", "osx")}, true},
      {{Rule("allow"), Rule("disallow", "linux")}, false},
      {{Rule("disallow", "linux"), Rule("allow")}, true},  // the later rule wins
      {{Rule("disallow")}, false},
      {{Rule("Allow")}, false},  // actions and names compare exactly
      {{Rule("allow", "Linux")}, false},
      {{Rule("allow", "", "x86")}, false},  // a 32-bit rule on a 64-bit system
      {{Rule("allow", "linux", "x86_64")}, true},
      {{Rule("allow", "linux", "", "^6\\.")}, true},
      {{Rule("allow", "linux", "", "^5\\.")}, false},
      {{Rule("allow", "", "", "(")}, false},  // a pattern that does not compile matches nothing
      {{Rule("allow", "", "", std::string(300, '6'))}, false},
      {{Rule("allow", "", "", "^10\\.5\\.\\d$")}, false},  // the publisher's macOS pattern
      {{Rule("allow", "", "", "amd64$")}, true},
      // Nested repetition makes a backtracking matcher run for ages on the short version text.
      {{Rule("allow", "", "", "((((((((((.*)*)*)*)*)*)*)*)*)*)*x")}, false},
  };
  const RuleEnvironment linux64 = SystemRuleEnvironment(kLinux, 64, "6.1.0-13-amd64");
  for (const Case& c : cases) {
    EXPECT_EQ(RulesAllow(c.rules, linux64), c.used) << c.rules.size() << " rules, first "
                                                     << (c.rules.empty() ? "" : c.rules[0].action + " " + c.rules[0].osVersion);
  }
  EXPECT_TRUE(RulesAllow({Rule("allow", "windows", "x86")}, SystemRuleEnvironment(kWindows, 32, "10.0")));
}

TEST(LibraryRules, FeaturesAskedForMustHaveTheirValue) {
  LibraryRule demo = Rule("allow");
  demo.features = {{"is_demo_user", true}};
  LibraryRule notDemo = Rule("allow");
  notDemo.features = {{"is_demo_user", false}};
  RuleEnvironment environment = SystemRuleEnvironment(kLinux, 64, "");
  EXPECT_FALSE(RulesAllow({demo}, environment));
  EXPECT_TRUE(RulesAllow({notDemo}, environment));
  environment.features = {"is_demo_user"};
  EXPECT_TRUE(RulesAllow({demo}, environment));
  EXPECT_FALSE(RulesAllow({notDemo}, environment));
}

TEST(LibraryRules, TheOlderFormOnWindowsTakesEveryLibrary) {
  VersionDescription older;
  VersionDescription modern;
  modern.gameArguments.emplace();
  EXPECT_FALSE(HonoursLibraryRules(older, kWindows));
  EXPECT_TRUE(HonoursLibraryRules(modern, kWindows));
  EXPECT_TRUE(HonoursLibraryRules(older, kLinux));
  const RuleEnvironment windows = SystemRuleEnvironment(kWindows, 64, "10.0");
  EXPECT_TRUE(IsLibraryUsed(Library({Rule("disallow", "windows")}), windows, false));
  EXPECT_TRUE(IsLibraryUsed(Library({Rule("allow", "osx")}), windows, false));
  EXPECT_FALSE(IsLibraryUsed(Library({Rule("allow", "osx")}), windows, true));
}

}  // namespace
}  // namespace kv
