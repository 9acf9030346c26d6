#include "game/library_paths.h"

#include "util/files.h"

namespace kv {
namespace {

bool HasControlCharacter(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7f) return true;
  }
  return false;
}

bool HasParentSegment(std::string_view path) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    if (path.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

LibraryCoordinate SplitLibraryCoordinate(std::string_view name) {
  LibraryCoordinate coordinate;
  const std::size_t first = name.find(':');
  if (first == std::string_view::npos) {
    coordinate.group = name;
  } else {
    coordinate.group = name.substr(0, first);
    const std::size_t second = name.find(':', first + 1);
    if (second == std::string_view::npos) {
      coordinate.artifact = name.substr(first + 1);
    } else {
      coordinate.artifact = name.substr(first + 1, second - first - 1);
      coordinate.version = name.substr(second + 1);
    }
  }
  for (char& c : coordinate.group) {
    if (c == '.') c = '/';
  }
  return coordinate;
}

const std::string& NativesText(const LibraryEntry& library, const PlatformProfile& profile) {
  if (profile.nativesMember == "windows") return library.nativesWindows;
  if (profile.nativesMember == "linux") return library.nativesLinux;
  return library.nativesOsx;
}

bool IsNativeLibrary(const LibraryEntry& library, const PlatformProfile& profile) {
  return !NativesText(library, profile).empty();
}

bool IsLibraryUsed(const LibraryEntry& library, const PlatformProfile& profile) {
  if (!profile.honoursLibraryRules || library.rules.empty()) return true;
  bool used = false;
  for (const LibraryRule& rule : library.rules) {
    if (rule.osName.empty() || rule.osName == profile.osName) used = rule.action == "allow";
  }
  return used;
}

std::string LibraryRelativePath(std::string_view name, std::string_view nativesText,
                                const PlatformProfile& profile, int bitness) {
  const LibraryCoordinate c = SplitLibraryCoordinate(name);
  std::string path = c.group + "/" + c.artifact + "/" + c.version + "/" + c.artifact + "-" + c.version;
  if (!nativesText.empty()) {
    path += "-" + profile.nativesClassifier;
    if (nativesText.find("${arch}") != std::string_view::npos) path += "-" + std::to_string(bitness);
  }
  return path + ".jar";
}

std::string LibraryLocalPath(std::string_view gamePath, std::string_view name,
                             std::string_view nativesText, const PlatformProfile& profile,
                             int bitness) {
  return std::string(gamePath) + "/libraries/" +
         LibraryRelativePath(name, nativesText, profile, bitness);
}

std::string NativesFolder(std::string_view libraryLocalPath) {
  std::string folder;
  std::string file;
  SplitPath(libraryLocalPath, folder, file);
  return folder;
}

std::string LibraryRelativePath(const LibraryEntry& library, const PlatformProfile& profile,
                                int bitness) {
  return LibraryRelativePath(library.name, NativesText(library, profile), profile, bitness);
}

std::string LibraryLocalPath(std::string_view gamePath, const LibraryEntry& library,
                             const PlatformProfile& profile, int bitness) {
  return LibraryLocalPath(gamePath, library.name, NativesText(library, profile), profile, bitness);
}

bool IsSafeLibraryCoordinate(std::string_view name) {
  if (HasControlCharacter(name) || name.find('\\') != std::string_view::npos) return false;
  const LibraryCoordinate c = SplitLibraryCoordinate(name);
  for (const std::string* part : {&c.group, &c.artifact, &c.version}) {
    if (!part->empty() && part->front() == '/') return false;
    if (HasParentSegment(*part)) return false;
  }
  return true;
}

bool IsSafeVersionId(std::string_view id) {
  if (id.empty() || id == "." || id == "..") return false;
  if (HasControlCharacter(id)) return false;
  return id.find_first_of("/\\:;") == std::string_view::npos;
}

}  // namespace kv
