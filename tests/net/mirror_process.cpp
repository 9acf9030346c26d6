#include "tests/net/mirror_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <set>
#include <sstream>

extern char** environ;

namespace kv::test {

MirrorProcess::MirrorProcess(const std::string& root, const std::vector<std::string>& options) {
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return;
  std::string logPath = folder_ / "requests.log";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

  std::vector<std::string> args{KORVANE_MIRROR_PROGRAM, "--root", root, "--port", "0"};
  args.insert(args.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int spawned = ::posix_spawn(&pid_, KORVANE_MIRROR_PROGRAM, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  output_ = pipeEnds[0];
  if (spawned != 0) {
    pid_ = -1;
    return;
  }

  // The first line is the base address, printed once the port is bound.
  std::string line;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    pollfd ready{output_, POLLIN, 0};
    if (::poll(&ready, 1, 100) <= 0) continue;
    char buffer[256];
    ssize_t got = ::read(output_, buffer, sizeof buffer);
    if (got <= 0) break;
    line.append(buffer, static_cast<std::size_t>(got));
  }
  if (line.find('\n') != std::string::npos) baseUrl_ = line.substr(0, line.find('\n'));
}

MirrorProcess::~MirrorProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (output_ >= 0) ::close(output_);
}

std::string MirrorProcess::Log() const { return ReadFile(folder_ / "requests.log"); }

int MirrorProcess::CountRequests(const std::string& method, const std::string& path) const {
  std::istringstream lines(Log());
  std::string client;
  std::string lineMethod;
  std::string linePath;
  std::string rest;
  int count = 0;
  while (lines >> client >> lineMethod >> linePath && std::getline(lines, rest)) {
    if (lineMethod == method && linePath == path) ++count;
  }
  return count;
}

int MirrorProcess::CountConnections() const {
  std::istringstream lines(Log());
  std::set<std::string> clients;
  std::string line;
  while (std::getline(lines, line)) clients.insert(line.substr(0, line.find(' ')));
  return static_cast<int>(clients.size());
}

}  // namespace kv::test
