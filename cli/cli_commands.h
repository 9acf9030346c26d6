#pragma once

#include <string>
#include <vector>

// The commands of korvane-cli. Each takes the arguments after its name, writes its result to
// standard output and its refusal, one line, to standard error, and returns the exit status.
namespace kv::cli {

using Arguments = std::vector<std::string>;

int ShowSettings(const Arguments& args);
int ListInstances(const Arguments& args);
int AddInstanceCommand(const Arguments& args);
int RenameInstanceCommand(const Arguments& args);
int DeleteInstanceCommand(const Arguments& args);

// Prints "korvane-cli: <reason>" on standard error and returns 1.
int Fail(const std::string& reason);
// Prints the usage of one command on standard error and returns 2.
int Usage(const std::string& synopsis);

}  // namespace kv::cli
