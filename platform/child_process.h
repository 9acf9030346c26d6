#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// A program started with its standard output and standard error joined into one pipe that the
// launcher reads. The argument vector is executed directly (no shell ever interprets it), in
// the given working folder, with the launcher's environment and standard input. The child
// gets the pipe and the three standard descriptors and nothing else of the launcher's.
class ChildProcess {
 public:
  // Starts `argv[0]` (a path, or a name looked up on PATH). On failure returns nothing and
  // puts the reason (the system's error text) into `error`.
  static std::optional<ChildProcess> Start(const std::vector<std::string>& argv,
                                           const std::string& workingFolder, std::string& error);

  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  // Blocks until output arrives; returns the number of bytes read, 0 once every holder of the
  // pipe (the program and any child that inherited it) has exited or closed it.
  std::size_t ReadOutput(char* buffer, std::size_t size);

  // As ReadOutput, but waits at most `quiet` for output or its end; nothing when that time
  // passed without either.
  std::optional<std::size_t> ReadOutputFor(char* buffer, std::size_t size, std::chrono::milliseconds quiet);

  // Ends the program at once (it gets no chance to clean up). Its status is still collected
  // by Wait.
  void Kill();

  // Waits for the program to end; its exit status, or 128 + the signal that ended it.
  int Wait();

  pid_t Pid() const { return pid_; }

 private:
  ChildProcess(pid_t pid, int output) : pid_(pid), output_(output) {}
  void Release();

  pid_t pid_ = -1;
  int output_ = -1;
  std::optional<int> status_;
};

}  // namespace kv
