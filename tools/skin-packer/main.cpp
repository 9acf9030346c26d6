// kv-skin-packer: packs the skin's folders into one zip and writes the C++ source that embeds it.
//
//   kv-skin-packer OUT.zip OUT.cpp PREFIX=FOLDER...
//
// Every file under FOLDER becomes the entry "PREFIX/<path below FOLDER>", with forward slashes,
// sorted by name so that the archive does not depend on the order the file system lists.
#include "tools/skin-packer/embed_source.h"
#include "tools/skin-packer/zip_writer.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool CollectFolder(const std::string& prefix, const fs::path& folder,
                   std::vector<kv::skin::ZipEntry>& entries) {
  std::error_code error;
  if (!fs::is_directory(folder, error)) {
    std::cerr << "kv-skin-packer: not a folder: " << folder.string() << "\n";
    return false;
  }
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    if (!it->is_regular_file()) continue;
    const std::string relative = it->path().lexically_relative(folder).generic_string();
    // Hidden files (build stamps, editor droppings) are not part of the skin.
    if (relative.empty() || relative.front() == '.' ||
        relative.find("/.") != std::string::npos) {
      continue;
    }
    entries.push_back({prefix + "/" + relative, it->path().string()});
  }
  if (error) {
    std::cerr << "kv-skin-packer: cannot list " << folder.string() << ": " << error.message()
              << "\n";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: kv-skin-packer OUT.zip OUT.cpp PREFIX=FOLDER...\n";
    return 2;
  }
  std::vector<kv::skin::ZipEntry> entries;
  for (int i = 3; i < argc; ++i) {
    const std::string folderArgument = argv[i];
    const auto equals = folderArgument.find('=');
    if (equals == std::string::npos || equals == 0) {
      std::cerr << "kv-skin-packer: expected PREFIX=FOLDER, got " << folderArgument << "\n";
      return 2;
    }
    if (!CollectFolder(folderArgument.substr(0, equals), folderArgument.substr(equals + 1),
                       entries)) {
      return 1;
    }
  }
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });

  std::string error;
  if (!kv::skin::WriteZip(argv[1], entries, error) ||
      !kv::skin::WriteEmbedSource(argv[1], argv[2], error)) {
    std::cerr << "kv-skin-packer: " << error << "\n";
    return 1;
  }
  return 0;
}
