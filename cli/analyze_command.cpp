#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "crash/crash_notice.h"
#include "crash/game_leftovers.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

constexpr const char* kAnalyzeUsage = "analyze FILE...";

// Logs brought from anywhere: the causes found in all of them together, the most specific
// first. Exit status 0 when a cause was found, 1 when none was (or a file could not be read).
int AnalyzeLogs(const Arguments& args) {
  if (args.empty()) return Usage(kAnalyzeUsage);
  const Result<CrashAnalyzer>& analyzer = BuiltInCrashAnalyzer();
  if (!analyzer) return Fail(analyzer.message());
  std::vector<CrashSource> sources;
  for (const std::string& path : args) {
    Result<CrashSource> source = ReadCrashSource(path);
    if (!source) return Fail(Printable(source.message()));
    sources.push_back(std::move(*source));
  }
  const CrashAnalysis analysis = analyzer->Analyze(sources);
  const std::string text = DescribeCrash(analysis);
  // Line by line: what the logs captured goes to the terminal without its control characters.
  std::string line;
  for (const char c : (text.empty() ? std::string(msg::kCrashNoCause) : text) + "\n") {
    if (c != '\n') {
      line += c;
      continue;
    }
    std::printf("%s\n", Printable(line).c_str());
    line.clear();
  }
  return analysis.Found() ? 0 : 1;
}

const CommandRegistration kAnalyze{{65, "analyze", kAnalyzeUsage,
                                    "分析游戏日志或崩溃报告，说明游戏崩溃的可能原因\n（找到原因时退出状态为 0，没有找到为 1）",
                                    AnalyzeLogs}};

}  // namespace
}  // namespace kv::cli
