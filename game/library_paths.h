#pragma once

#include <string>
#include <string_view>

#include "meta/version_description.h"
#include "platform/platform_profile.h"

// Where a library of a version description lives below the game folder, which libraries a
// platform uses and which of them are native libraries.
namespace kv {

// The three parts of "group:artifact:version". The group has every "." turned into "/"; the
// version keeps any further ":". Missing parts are empty.
struct LibraryCoordinate {
  std::string group;
  std::string artifact;
  std::string version;
};
LibraryCoordinate SplitLibraryCoordinate(std::string_view name);

// The natives text the profile reads: nativesWindows for Windows, nativesLinux for Linux.
const std::string& NativesText(const LibraryEntry& library, const PlatformProfile& profile);

// A library is native under a profile exactly when its natives text for that profile is set.
bool IsNativeLibrary(const LibraryEntry& library, const PlatformProfile& profile);

// The path below the libraries root:
//   plain:   group/artifact/version/artifact-version.jar
//   native:  group/artifact/version/artifact-version-<classifier>.jar
//   native with "${arch}" in its natives text: ...-<classifier>-<bitness>.jar
// The classifier is the profile's, whatever else the natives text says; `nativesText` is the
// library's NativesText (empty for a plain library) and `bitness` 32 or 64 (NativeBitness()).
std::string LibraryRelativePath(std::string_view name, std::string_view nativesText,
                                const PlatformProfile& profile, int bitness);

// game folder + "/libraries/" + LibraryRelativePath.
std::string LibraryLocalPath(std::string_view gamePath, std::string_view name,
                             std::string_view nativesText, const PlatformProfile& profile,
                             int bitness);

// The folder part of a native library's local path, trailing separator included: where its
// jar is unpacked and what java.library.path names.
std::string NativesFolder(std::string_view libraryLocalPath);

// The path of a Maven coordinate "group:artifact:version[:classifier][@extension]" below a
// repository: group/artifact/version/artifact-version[-classifier].extension (".jar" unless
// the coordinate names another extension).
std::string MavenPath(std::string_view coordinate);

// Both paths of one library for a profile. A native library's is the rule above. Otherwise the
// path the description gives ("downloads"/"artifact"/"path"); without one, a library that the
// description says where to fetch (an artifact or a repository) has its Maven path, and any
// other the rule above (which keeps every ":" after the second in the version).
std::string LibraryRelativePath(const LibraryEntry& library, const PlatformProfile& profile,
                                int bitness);
std::string LibraryLocalPath(std::string_view gamePath, const LibraryEntry& library,
                             const PlatformProfile& profile, int bitness);

// The published file of a library for a profile: a native library's classifier jar (its
// natives text with "${arch}" as the bitness, looked up in "downloads"/"classifiers"), else its
// artifact. Null when the description publishes none.
const RemoteFile* LibraryRemoteFile(const LibraryEntry& library, const PlatformProfile& profile, int bitness);

// Names come from the network, so every caller checks them before building a path from them.
// A coordinate is safe when its library path stays below the libraries root: no control
// character, no "\", no part that starts with "/", no ".." segment.
bool IsSafeLibraryCoordinate(std::string_view name);
// A relative path from the network stays below its root: not empty, no control character, no
// "\", no leading "/", no drive, no "." or ".." segment.
bool IsSafeRelativePath(std::string_view path);
// A library is safe when its coordinate is and the path its description gives is.
bool IsSafeLibrary(const LibraryEntry& library);
// A version id names a folder and its files and stands on the class path: not empty, no "/",
// "\", ":" or ";", no control character, not "." or "..".
bool IsSafeVersionId(std::string_view id);

}  // namespace kv
