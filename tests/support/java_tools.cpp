#include "tests/support/java_tools.h"

#include <filesystem>

namespace kv::test {

std::string JavaTool(const std::string& tool) {
  for (const char* folder : {"/usr/lib/jvm/default-java/bin/", "/usr/bin/"}) {
    std::error_code ignored;
    if (std::filesystem::exists(std::string(folder) + tool, ignored)) return std::string(folder) + tool;
  }
  return tool;
}

}  // namespace kv::test
