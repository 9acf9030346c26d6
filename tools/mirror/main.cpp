#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tools/mirror/mirror_options.h"
#include "tools/mirror/mirror_server.h"

// korvane-mirror: a local download mirror for tests, demos and anyone who keeps the game
// files on their own machine.
int main(int argc, char** argv) {
  using namespace kv::mirror;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kMirrorUsage, stdout);
    return 0;
  }
  MirrorOptions options;
  if (auto mistake = ParseMirrorOptions(args, options)) {
    std::fprintf(stderr, "korvane-mirror: %s\n%s", mistake->c_str(), kMirrorUsage);
    return 2;
  }

  // Interrupts are taken by one thread that ends the process: nothing is left to save (the
  // log is written line by line), and kept-alive connections end with the process.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  MirrorServer server(options);
  int port = server.Bind();
  if (port < 0) {
    std::fprintf(stderr, "korvane-mirror: cannot listen on %s port %d\n", options.bindAddress.c_str(), options.port);
    return 1;
  }
  bool ipv6 = options.bindAddress.find(':') != std::string::npos;
  std::printf("http://%s%s%s:%d\n", ipv6 ? "[" : "", options.bindAddress.c_str(), ipv6 ? "]" : "", port);
  std::fflush(stdout);

  std::thread([stopSignals] {
    int received = 0;
    sigwait(&stopSignals, &received);
    std::fflush(stderr);
    std::_Exit(0);
  }).detach();
  server.Serve();
  std::fprintf(stderr, "korvane-mirror: the server stopped\n");
  return 1;
}
