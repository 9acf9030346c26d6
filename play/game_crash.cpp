#include "play/game_crash.h"

#include "crash/crash_notice.h"
#include "crash/game_leftovers.h"
#include "platform/diagnostic_log.h"
#include "util/messages.h"

namespace kv {

GameCrash DescribeGameCrash(const GameRun& run, const std::string& gameFolder, const std::string& versionId,
                            std::filesystem::file_time_type started) {
  GameCrash crash;
  crash.gameFolder = gameFolder;
  crash.versionId = versionId;
  CrashAnalysis analysis;
  if (const Result<CrashAnalyzer>& analyzer = BuiltInCrashAnalyzer()) {
    analysis = analyzer->Analyze(CollectGameLeftovers(run.outputFile, gameFolder, started), run.exitStatus);
  } else {
    LogLine(LogLevel::Error, analyzer.message());
  }
  if (analysis.Found()) {
    const CrashCause& cause = analysis.causes.front();
    crash.action = cause.action;
    LogLine(LogLevel::Info, "The game crashed: " + cause.id + (cause.source.empty() ? "" : " in " + cause.source));
  }
  crash.text = msg::GameCrashed(run.exitStatus.value_or(0), DescribeCrash(analysis), run.lastLines, run.outputFile);
  return crash;
}

}  // namespace kv
