#pragma once

#include <optional>
#include <string>
#include <vector>

#include "util/text.h"  // Printable: what the network and documents say, before a terminal shows it

// The commands of korvane-cli. Each takes the arguments after its name, writes its result (or,
// when it has none to show, one line saying what it did) to standard output and its refusal to
// standard error, and returns the exit status: 0 done, 1 refused or failed, 2 wrong usage.
// The texts are Chinese, as in the launcher's window; command, option and setting names and
// the placeholders of the usage lines stay as they are typed. A command registers itself from
// its own file:
//
//   const kv::cli::CommandRegistration kVersions{{40, "versions", kUsage, "版本列表 ...", RunVersions}};
namespace kv::cli {

using Arguments = std::vector<std::string>;

struct Command {
  int order;            // place in the help text
  const char* name;
  const char* usage;    // "name ARGS", as Usage prints it
  const char* summary;  // what it does, for the help text; a line break continues it indented
  int (*run)(const Arguments&);
};

struct CommandRegistration {
  explicit CommandRegistration(Command command);
};

const std::vector<Command>& RegisteredCommands();

// Prints "korvane-cli: <text>" on standard error.
void Note(const std::string& text);
// Note(reason), and returns 1.
int Fail(const std::string& reason);
// Prints the usage of one command on standard error and returns 2.
int Usage(const std::string& usage);

// A path for the player to read: a separator the folders' joins doubled ("…/.minecraft//versions")
// shown once.
std::string ShownPath(std::string path);

// The game folder of the settings file.
std::string GameFolder();

// A password from standard input (asked for, without echo, on a terminal); nothing when the
// input ended first.
std::optional<std::string> ReadPassword();

// login --microsoft: the sign-in with a device code.
int LoginWithMicrosoft(const Arguments& args);

// add NAME GAMEVERSION --loader KIND[:VERSION]: installs the loader (VERSION as `loaders`
// prints it; without one the default of its list) and adds the instance of the version it
// installed. A failed installation adds nothing.
int AddInstanceWithLoader(const std::string& name, const std::string& gameVersion, const std::string& loader);

// Shared by the commands that show the settings and the instances.
int ShowSettings(const Arguments& args);
int ListInstances(const Arguments& args);

// An instance's own game settings: those in force with where each comes from, and changing them.
int ShowInstanceSettings(const std::string& name);
int SetInstanceSettings(const std::string& name, const Arguments& rest, const char* usage);

}  // namespace kv::cli
