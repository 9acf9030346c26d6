#pragma once

#include <string>
#include <vector>

namespace kv::test {

struct CommandResult {
  int status = -1;  // the exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs `program` with `args` (no shell), with extra environment entries ("NAME=value", over
// the inherited ones of the same name) and `input` on standard input, and collects its output.
CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment = {},
                         const std::string& input = {});

// The same with a terminal as standard input, on which `typed` was typed ahead.
CommandResult RunCommandOnTerminal(const std::string& program, const std::vector<std::string>& args,
                                   const std::vector<std::string>& environment, const std::string& typed);

}  // namespace kv::test
