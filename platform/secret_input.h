#pragma once

#include <optional>
#include <string>

// Reading a secret (a password) from standard input. On a terminal the typed characters are
// not shown; from a pipe or a file the first line is read as it comes.
namespace kv {

// The first line, without its line end; nothing at the end of the input.
std::optional<std::string> ReadSecretLine();

// Whether standard input is a terminal (a person types there).
bool StandardInputIsTerminal();

}  // namespace kv
