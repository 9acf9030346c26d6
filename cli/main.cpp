#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/cli_commands.h"

namespace kv::cli {
namespace {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

void PrintHelp(std::FILE* out) {
  std::fprintf(out, "usage: korvane-cli [COMMAND [ARGS]]\n\nWith no command: the settings, then the instances.\n\n");
  for (const Command& command : RegisteredCommands()) std::fprintf(out, "  %s\n", command.synopsis);
}

}  // namespace

CommandRegistration::CommandRegistration(Command command) {
  auto& commands = Registry();
  commands.insert(std::upper_bound(commands.begin(), commands.end(), command,
                                   [](const Command& a, const Command& b) { return a.order < b.order; }),
                  command);
}

const std::vector<Command>& RegisteredCommands() { return Registry(); }

int Fail(const std::string& reason) {
  std::fprintf(stderr, "korvane-cli: %s\n", reason.c_str());
  return 1;
}

std::string Printable(std::string text) {
  for (char& ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) ch = '?';
  }
  return text;
}

int Usage(const std::string& synopsis) {
  std::fprintf(stderr, "usage: korvane-cli %s\n", synopsis.c_str());
  return 2;
}

}  // namespace kv::cli

int main(int argc, char** argv) {
  using namespace kv::cli;
  if (argc < 2) {
    int status = ShowSettings({});
    std::printf("\n");
    return status != 0 ? status : ListInstances({});
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
      std::strcmp(argv[1], "help") == 0) {
    PrintHelp(stdout);
    return 0;
  }
  Arguments args(argv + 2, argv + argc);
  for (const Command& command : RegisteredCommands()) {
    if (std::strcmp(argv[1], command.name) == 0) return command.run(args);
  }
  std::fprintf(stderr, "korvane-cli: unknown command \"%s\"\n\n", argv[1]);
  PrintHelp(stderr);
  return 2;
}
