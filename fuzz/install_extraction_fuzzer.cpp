// Archives from the network unpacked into a folder: nothing may appear beside that folder.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "install/native_extraction.h"

namespace fs = std::filesystem;

namespace {

const fs::path& Root() {
  static const fs::path root = [] {
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(Root(), ignored);
    });
    return fs::temp_directory_path() / ("korvane-extraction-fuzz-" + std::to_string(::getpid()));
  }();
  return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path& root = Root();
  std::error_code error;
  fs::remove_all(root, error);
  fs::create_directories(root / "a" / "b" / "natives");
  const fs::path archive = root / "a" / "archive.jar";
  {
    std::ofstream out(archive, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  kv::ExtractArchive(archive.string(), (root / "a" / "b" / "natives").string() + "/");
  // Only the archive and the destination may be found outside the destination.
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const fs::path relative = fs::relative(entry.path(), root);
    const std::string name = relative.generic_string();
    if (name == "a" || name == "a/b" || name == "a/archive.jar" || name.rfind("a/b/natives", 0) == 0) continue;
    std::abort();
  }
  return 0;
}
