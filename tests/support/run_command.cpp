#include "tests/support/run_command.h"

#include <fcntl.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "tests/support/temp_folder.h"

extern char** environ;

namespace kv::test {
namespace {

// Runs the program with `input` as its standard input (the descriptor stays the caller's).
CommandResult RunWithInput(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& environment, int input) {
  TempFolder dir;
  std::string outPath = dir / "out";
  std::string errPath = dir / "err";

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  // The extra entries first: a name given twice reads as its first entry.
  std::vector<std::string> envStrings(environment.begin(), environment.end());
  for (char** entry = environ; *entry != nullptr; ++entry) envStrings.emplace_back(*entry);
  std::vector<char*> envp;
  for (std::string& entry : envStrings) envp.push_back(entry.data());
  envp.push_back(nullptr);

  CommandResult result;
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadFile(outPath);
  result.err = ReadFile(errPath);
  return result;
}

}  // namespace

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment, const std::string& input) {
  TempFolder dir;
  const std::string inPath = dir / "in";
  WriteFile(inPath, input);
  const int in = ::open(inPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return {};
  CommandResult result = RunWithInput(program, args, environment, in);
  ::close(in);
  return result;
}

CommandResult RunCommandOnTerminal(const std::string& program, const std::vector<std::string>& args,
                                   const std::vector<std::string>& environment, const std::string& typed) {
  int terminal = -1;
  int side = -1;
  if (::openpty(&terminal, &side, nullptr, nullptr, nullptr) != 0) return {};
  ::fcntl(terminal, F_SETFD, FD_CLOEXEC);
  ::fcntl(side, F_SETFD, FD_CLOEXEC);
  // Typed ahead: the terminal keeps the line until the program reads it.
  const bool written = ::write(terminal, typed.data(), typed.size()) == static_cast<ssize_t>(typed.size());
  CommandResult result = written ? RunWithInput(program, args, environment, side) : CommandResult{};
  ::close(side);
  ::close(terminal);
  return result;
}

}  // namespace kv::test
