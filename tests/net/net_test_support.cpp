#include "tests/net/net_test_support.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <vector>

#include "net/network_library.h"
#include "util/digest.h"

namespace kv::test {
namespace {
// libcurl's global state for the whole test program.
const NetworkLibrary kNetwork;
}  // namespace

std::string TestBytes(std::size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
  return bytes;
}

std::string ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_regular_file()) names.push_back(std::filesystem::relative(it->path(), folder).string());
  }
  std::sort(names.begin(), names.end());
  std::string list;
  for (const std::string& name : names) list += name + "\n";
  return list;
}

std::string Sha1Of(const std::string& bytes) { return HexDigestOf(DigestKind::Sha1, bytes); }

}  // namespace kv::test
