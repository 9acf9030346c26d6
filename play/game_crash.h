#pragma once

#include <filesystem>
#include <string>

#include "crash/crash_action.h"
#include "launch/game_session.h"

// What the player is told when the game ended with an error.
namespace kv {

struct GameCrash {
  // The exit status, why the game crashed as far as the crash analysis tells, the last lines of
  // its output and where the whole of it is kept.
  std::string text;
  // What the player may do about the cause found, and the instance it concerns: its game folder
  // and its version.
  CrashAction action = CrashAction::None;
  std::string gameFolder;
  std::string versionId;
};

// Analyses what the game of `run` left (its output, the crash reports and fatal error logs
// written in `gameFolder` since `started`) and says what happened to the instance of that game
// folder and version.
GameCrash DescribeGameCrash(const GameRun& run, const std::string& gameFolder, const std::string& versionId,
                            std::filesystem::file_time_type started);

}  // namespace kv
