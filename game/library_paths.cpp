#include "game/library_paths.h"

#include <algorithm>
#include <vector>

#include "util/ascii_text.h"
#include "util/files.h"

namespace kv {
namespace {

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

std::string MavenPath(std::string_view coordinate) {
  std::string extension = "jar";
  const std::size_t lastColon = coordinate.rfind(':');
  if (const std::size_t at = coordinate.find('@', lastColon == std::string_view::npos ? 0 : lastColon);
      at != std::string_view::npos) {
    extension = coordinate.substr(at + 1);
    coordinate = coordinate.substr(0, at);
  }
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t colon = coordinate.find(':', start);
    parts.push_back(coordinate.substr(start, colon - start));
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  parts.resize(std::max<std::size_t>(parts.size(), 3));
  std::string group(parts[0]);
  for (char& c : group) {
    if (c == '.') c = '/';
  }
  const std::string artifact(parts[1]);
  const std::string version(parts[2]);
  std::string path = group + "/" + artifact + "/" + version + "/" + artifact + "-" + version;
  for (std::size_t i = 3; i < parts.size(); ++i) path.append("-").append(parts[i]);
  return path + "." + extension;
}

std::string LibraryRelativePath(const LibraryEntry& library, const PlatformProfile& profile,
                                int bitness) {
  const std::string& natives = NativesText(library, profile);
  if (!natives.empty()) return LibraryRelativePath(library.name, natives, profile, bitness);
  if (library.artifact && !library.artifact->path.empty()) return library.artifact->path;
  if (library.artifact || !library.repository.empty()) return MavenPath(library.name);
  return LibraryRelativePath(library.name, natives, profile, bitness);
}

const RemoteFile* LibraryRemoteFile(const LibraryEntry& library, const PlatformProfile& profile, int bitness) {
  std::string classifier = NativesText(library, profile);
  if (classifier.empty()) return library.artifact ? &*library.artifact : nullptr;
  if (const std::size_t arch = classifier.find("${arch}"); arch != std::string::npos) {
    classifier.replace(arch, 7, std::to_string(bitness));
  }
  const auto found = library.classifiers.find(classifier);
  return found == library.classifiers.end() ? nullptr : &found->second;
}

std::string LibraryLocalPath(std::string_view gamePath, const LibraryEntry& library,
                             const PlatformProfile& profile, int bitness) {
  return std::string(gamePath) + "/libraries/" + LibraryRelativePath(library, profile, bitness);
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

bool IsSafeRelativePath(std::string_view path) {
  if (path.empty() || path.front() == '/' || HasControlCharacter(path)) return false;
  if (path.find('\\') != std::string_view::npos || path.find(':') != std::string_view::npos) return false;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view segment = path.substr(start, end - start);
    if (segment == "." || segment == "..") return false;
    start = end + 1;
  }
  return true;
}

bool IsSafeLibrary(const LibraryEntry& library) {
  if (!IsSafeLibraryCoordinate(library.name)) return false;
  return !library.artifact || library.artifact->path.empty() || IsSafeRelativePath(library.artifact->path);
}

bool IsSafeVersionId(std::string_view id) {
  if (id.empty() || id == "." || id == "..") return false;
  if (HasControlCharacter(id)) return false;
  return id.find_first_of("/\\:;") == std::string_view::npos;
}

}  // namespace kv
