#pragma once

#include <string>

namespace kv::test {

// The path of a tool of the JDK ("java", "javac"): the system's default JDK's, else the one in
// /usr/bin, else the bare name, for the search path.
std::string JavaTool(const std::string& tool);

}  // namespace kv::test
