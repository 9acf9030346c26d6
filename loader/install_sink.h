#pragma once

#include <string>

// How a loader's installation reports its progress: the step it is at and, for a step that
// counts (files, processors), how far it has come. The step's text is what a progress window
// or a terminal shows ("下载库文件 12/40"). Calls come from the installing thread.
namespace kv {

enum class InstallStep {
  LoaderDescription,  // the loader's description from its publisher
  GameDescription,    // the description of the game version it extends
  Installer,          // the loader's installer
  Libraries,          // its libraries: done of total
  Processors,         // the installer's processors: done of total
};

class InstallSink {
 public:
  virtual ~InstallSink() = default;
  // `step` begins or goes on: `done` of `total` (a step that does not count has 0 of 0).
  virtual void OnStep(InstallStep step, int done, int total) = 0;
  // A line that a processor of the installer printed, for the log.
  virtual void OnOutput(const std::string& line) = 0;
};

// The step as the player reads it: its name, and "done/total" for a step that counts.
std::string InstallStepText(InstallStep step, int done, int total);

}  // namespace kv
