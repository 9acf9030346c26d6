#pragma once

#include <string>

#include "cli/cli_commands.h"
#include "loader/install_sink.h"

namespace kv::cli {

// The steps of an installation on standard error, each as it begins and as it ends, with what
// the installer's processors print.
class TerminalInstallSink : public InstallSink {
 public:
  void OnStep(InstallStep step, int done, int total) override {
    if (done != 0 && done != total) return;
    Note(InstallStepText(step, done, total));
  }
  void OnOutput(const std::string& line) override { Note(line); }
};

}  // namespace kv::cli
