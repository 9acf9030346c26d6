#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "crash/crash_action.h"
#include "crash/crash_rules.h"
#include "util/result.h"

namespace re2 {
class RE2;
}

// Why the game crashed: the causes of a table found in what the game left behind. Every pattern
// of the table runs in one pass over each text, so that a long log is read once, not once per
// cause.
namespace kv {

// One text the game left: its output, a crash report, a JVM fatal error log.
struct CrashSource {
  std::string name;  // as the player knows it: the file's name
  std::string text;  // as DecodeLogText gives it
};

struct CrashCause {
  std::string id;
  std::string title;
  std::string explanation;  // with the captured names filled in
  CrashAction action = CrashAction::None;
  int specificity = 0;
  // Every value each named group captured, each once, in the order found.
  std::map<std::string, std::vector<std::string>> captures;
  std::string source;  // the name of the first source it was found in
};

struct CrashAnalysis {
  // The most specific cause first; empty when nothing known was found, and then nothing is
  // claimed.
  std::vector<CrashCause> causes;
  // Without a cause: the "Description:" line of the crash report, when there is one.
  std::string description;

  bool Found() const { return !causes.empty(); }
};

class CrashAnalyzer {
 public:
  // Compiles every pattern of the table; fails when a pattern is not valid RE2 or a text names a
  // value that its cause neither captures nor works out.
  static Result<CrashAnalyzer> Create(CrashRuleTable table);

  CrashAnalyzer(CrashAnalyzer&&) noexcept;
  CrashAnalyzer& operator=(CrashAnalyzer&&) noexcept;
  ~CrashAnalyzer();

  // The causes found in `sources` and, when given, in the game's exit status. The sources are
  // looked at in order: a cause is said to come from the first one it is found in, and the
  // description is that of the first crash report.
  CrashAnalysis Analyze(const std::vector<CrashSource>& sources, std::optional<int> exitStatus = std::nullopt) const;

  const CrashRuleTable& Table() const { return table_; }

 private:
  struct Patterns;
  CrashAnalyzer(CrashRuleTable table, std::unique_ptr<Patterns> patterns);

  CrashRuleTable table_;
  std::unique_ptr<Patterns> patterns_;
};

// The analyzer of the table built into the launcher, made once. Its tests keep the table valid;
// should it still fail, a crash is shown without a cause.
const Result<CrashAnalyzer>& BuiltInCrashAnalyzer();

}  // namespace kv
