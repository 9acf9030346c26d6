#include <cstdio>
#include <cstring>
#include <string>

#include "cli/cli_commands.h"

namespace kv::cli {

int Fail(const std::string& reason) {
  std::fprintf(stderr, "korvane-cli: %s\n", reason.c_str());
  return 1;
}

int Usage(const std::string& synopsis) {
  std::fprintf(stderr, "usage: korvane-cli %s\n", synopsis.c_str());
  return 2;
}

namespace {

struct Command {
  const char* name;
  const char* synopsis;
  int (*run)(const Arguments&);
};

constexpr Command kCommands[] = {
    {"settings", "settings [--reveal]      the settings, one Key=Value a line", ShowSettings},
    {"instances", "instances                the instances: name<TAB>version", ListInstances},
    {"add", "add NAME VERSION         register an instance and create its folder", AddInstanceCommand},
    {"rename", "rename OLD NEW           rename an instance and its folder", RenameInstanceCommand},
    {"delete", "delete NAME              remove an instance and delete its folder", DeleteInstanceCommand},
};

void PrintHelp(std::FILE* out) {
  std::fprintf(out, "usage: korvane-cli [COMMAND [ARGS]]\n\nWith no command: the settings, then the instances.\n\n");
  for (const Command& command : kCommands) std::fprintf(out, "  %s\n", command.synopsis);
}

}  // namespace
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
  for (const Command& command : kCommands) {
    if (std::strcmp(argv[1], command.name) == 0) return command.run(args);
  }
  std::fprintf(stderr, "korvane-cli: unknown command \"%s\"\n\n", argv[1]);
  PrintHelp(stderr);
  return 2;
}
