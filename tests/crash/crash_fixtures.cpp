#include "tests/crash/crash_fixtures.h"

#include <gtest/gtest.h>

#include "crash/game_leftovers.h"
#include "tests/support/fixtures.h"

namespace kv::test {

const CrashAnalyzer& BuiltInAnalyzer() {
  const Result<CrashAnalyzer>& analyzer = BuiltInCrashAnalyzer();
  if (analyzer) return *analyzer;
  ADD_FAILURE() << analyzer.message();
  // One that finds nothing, so that the tests fail on what they expect.
  static const Result<CrashAnalyzer> empty = CrashAnalyzer::Create({});
  return *empty;
}

CrashSource CrashFixture(const std::string& name) {
  Result<CrashSource> source = ReadCrashSource(FixturePath("crash-logs/" + name));
  EXPECT_TRUE(source.ok()) << name;
  if (!source) return {};
  source->name = name;
  return std::move(*source);
}

CrashAnalysis AnalyzeFixtures(const std::vector<std::string>& names, std::optional<int> exitStatus) {
  std::vector<CrashSource> sources;
  for (const std::string& name : names) sources.push_back(CrashFixture(name));
  return BuiltInAnalyzer().Analyze(sources, exitStatus);
}

std::vector<std::string> CauseIds(const CrashAnalysis& analysis) {
  std::vector<std::string> ids;
  for (const CrashCause& cause : analysis.causes) ids.push_back(cause.id);
  return ids;
}

}  // namespace kv::test
