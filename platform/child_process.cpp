#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

extern char** environ;

namespace kv {
namespace {

class FileActions {
 public:
  FileActions() { posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

}  // namespace

std::optional<ChildProcess> ChildProcess::Start(const std::vector<std::string>& argv,
                                                const std::string& workingFolder,
                                                std::string& error) {
  if (argv.empty() || argv[0].empty()) {
    error = "no program to start";
    return std::nullopt;
  }
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
    error = std::string("pipe: ") + std::strerror(errno);
    return std::nullopt;
  }
  FileActions actions;
  // Both output streams into the pipe, then every descriptor above the standard three closed,
  // so nothing the launcher holds open (sockets, the settings lock) reaches the game.
  posix_spawn_file_actions_adddup2(actions.get(), pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(actions.get(), pipeEnds[1], STDERR_FILENO);
  posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1);
  if (!workingFolder.empty()) posix_spawn_file_actions_addchdir_np(actions.get(), workingFolder.c_str());

  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  pid_t pid = -1;
  int result = ::posix_spawnp(&pid, args[0], actions.get(), nullptr, args.data(), environ);
  ::close(pipeEnds[1]);
  if (result != 0) {
    ::close(pipeEnds[0]);
    error = std::string(std::strerror(result)) + " (" + argv[0] + ")";
    return std::nullopt;
  }
  return ChildProcess(pid, pipeEnds[0]);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      output_(std::exchange(other.output_, -1)),
      status_(other.status_) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Release();
    pid_ = std::exchange(other.pid_, -1);
    output_ = std::exchange(other.output_, -1);
    status_ = other.status_;
  }
  return *this;
}

ChildProcess::~ChildProcess() { Release(); }

void ChildProcess::Release() {
  if (output_ >= 0) ::close(output_);
  output_ = -1;
  // A program still running when its owner goes is left to run; reap it without blocking so
  // that a finished one leaves no zombie.
  if (pid_ > 0 && !status_) ::waitpid(pid_, nullptr, WNOHANG);
  pid_ = -1;
}

std::size_t ChildProcess::ReadOutput(char* buffer, std::size_t size) {
  if (output_ < 0) return 0;
  for (;;) {
    ssize_t n = ::read(output_, buffer, size);
    if (n > 0) return static_cast<std::size_t>(n);
    if (n < 0 && errno == EINTR) continue;
    return 0;
  }
}

std::optional<std::size_t> ChildProcess::ReadOutputFor(char* buffer, std::size_t size,
                                                      std::chrono::milliseconds quiet) {
  if (output_ < 0) return 0;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + quiet;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd ready{output_, POLLIN, 0};
    const int polled = ::poll(&ready, 1, static_cast<int>(std::min<long long>(left.count(), 60'000)));
    if (polled < 0 && errno != EINTR) return 0;
    // Readable, hung up or in error: the read tells which.
    if (polled > 0) return ReadOutput(buffer, size);
  }
}

void ChildProcess::Kill() {
  if (pid_ > 0 && !status_) ::kill(pid_, SIGKILL);
}

int ChildProcess::Wait() {
  if (status_) return *status_;
  int raw = 0;
  pid_t waited;
  do {
    waited = ::waitpid(pid_, &raw, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited < 0) return -1;
  status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  return *status_;
}

}  // namespace kv
