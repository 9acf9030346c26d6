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

// The usage column of the help text; a longer usage has its summary two blanks after it.
constexpr std::size_t kUsageWidth = 25;

void PrintHelp(std::FILE* out) {
  std::fprintf(out, "用法: korvane-cli [COMMAND [ARGS]]\n\n不带命令时：先显示设置，再列出游戏实例。\n\n");
  const std::string continued = "\n" + std::string(2 + kUsageWidth, ' ');
  for (const Command& command : RegisteredCommands()) {
    std::string line = command.usage;
    line += line.size() < kUsageWidth ? std::string(kUsageWidth - line.size(), ' ') : "  ";
    for (const char* c = command.summary; *c != '\0'; ++c) line += *c == '\n' ? continued : std::string(1, *c);
    std::fprintf(out, "  %s\n", line.c_str());
  }
}

}  // namespace

CommandRegistration::CommandRegistration(Command command) {
  auto& commands = Registry();
  commands.insert(std::upper_bound(commands.begin(), commands.end(), command,
                                   [](const Command& a, const Command& b) { return a.order < b.order; }),
                  command);
}

const std::vector<Command>& RegisteredCommands() { return Registry(); }

void Note(const std::string& text) { std::fprintf(stderr, "korvane-cli: %s\n", text.c_str()); }

int Fail(const std::string& reason) {
  Note(reason);
  return 1;
}

std::string ShownPath(std::string path) {
  path.erase(std::unique(path.begin(), path.end(), [](char a, char b) { return a == '/' && b == '/'; }), path.end());
  return path;
}

int Usage(const std::string& usage) {
  std::fprintf(stderr, "用法: korvane-cli %s\n", usage.c_str());
  return 2;
}

}  // namespace kv::cli

int main(int argc, char** argv) {
  using namespace kv::cli;
  using kv::Printable;
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
  std::fprintf(stderr, "korvane-cli: 没有这个命令: %s\n\n", Printable(argv[1]).c_str());
  PrintHelp(stderr);
  return 2;
}
