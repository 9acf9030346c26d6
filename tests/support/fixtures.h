#pragma once

#include <string>

namespace kv::test {

// The path of a file under tests/fixtures/.
std::string FixturePath(const std::string& name);
std::string ReadFixture(const std::string& name);

}  // namespace kv::test
