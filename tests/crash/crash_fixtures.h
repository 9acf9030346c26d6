#pragma once

#include <optional>
#include <string>
#include <vector>

#include "crash/crash_analyzer.h"

// The crash tests' access to the real logs in tests/fixtures/crash-logs/ and the built-in table.
namespace kv::test {

// The built-in analyzer; fails the test (and finds nothing) when its table does not load.
const CrashAnalyzer& BuiltInAnalyzer();

// A log of tests/fixtures/crash-logs/ read as the launcher reads what a game left.
CrashSource CrashFixture(const std::string& name);

// The built-in analysis of the named logs together.
CrashAnalysis AnalyzeFixtures(const std::vector<std::string>& names, std::optional<int> exitStatus = std::nullopt);

// The ids of the causes found, the one named first.
std::vector<std::string> CauseIds(const CrashAnalysis& analysis);

}  // namespace kv::test
