#include "tests/support/fixtures.h"

#include <cstdlib>

#include "tests/support/temp_folder.h"

namespace kv::test {

std::string FixturePath(const std::string& name) {
  const char* root = std::getenv("KORVANE_FIXTURES");
  return std::string(root != nullptr ? root : "tests/fixtures") + "/" + name;
}

std::string ReadFixture(const std::string& name) { return ReadFile(FixturePath(name)); }

}  // namespace kv::test
