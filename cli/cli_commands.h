#pragma once

#include <optional>
#include <string>
#include <vector>

// The commands of korvane-cli. Each takes the arguments after its name, writes its result to
// standard output and its refusal, one line, to standard error, and returns the exit status.
// A command registers itself from its own file:
//
//   const kv::cli::CommandRegistration kVersions{{40, "versions", "versions [--refresh]  ...", RunVersions}};
namespace kv::cli {

using Arguments = std::vector<std::string>;

struct Command {
  int order;              // place in the help text
  const char* name;
  const char* synopsis;   // "name ARGS   what it does"
  int (*run)(const Arguments&);
};

struct CommandRegistration {
  explicit CommandRegistration(Command command);
};

const std::vector<Command>& RegisteredCommands();

// Prints "korvane-cli: <reason>" on standard error and returns 1.
int Fail(const std::string& reason);
// Prints the usage of one command on standard error and returns 2.
int Usage(const std::string& synopsis);

// Text from the network or the mirror's documents, with control characters (terminal escapes
// among them) shown as '?' instead of being sent to the terminal.
std::string Printable(std::string text);

// The game folder of the settings file.
std::string GameFolder();

// A password from standard input (asked for, without echo, on a terminal); nothing when the
// input ended first.
std::optional<std::string> ReadPassword();

// Shared by the commands that show the settings and the instances.
int ShowSettings(const Arguments& args);
int ListInstances(const Arguments& args);

}  // namespace kv::cli
