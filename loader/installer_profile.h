#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "meta/version_description.h"
#include "util/result.h"

// What a Forge or NeoForge installer says it installs: its install_profile.json, told apart by
// the keys it has, never by the loader's version number.
namespace kv {

// A Java program the installer runs to make a file of the loader (a patched client jar, the
// mappings), with its values not yet resolved ("{MC_SLIM}", "[group:artifact:version]").
struct InstallerProcessor {
  std::string jar;                     // the coordinate of the processor's own jar
  std::vector<std::string> classpath;  // coordinates of the jars it needs besides
  std::vector<std::string> args;
  // The files it makes, each with its SHA-1 (both unresolved; the SHA-1 may be empty).
  std::vector<std::pair<std::string, std::string>> outputs;
};

// The key under which a current installer gives its profile's layout version.
inline constexpr const char* kLayoutVersionKey = "spec";

struct InstallerProfile {
  // Legacy: "install" + "versionInfo" (Forge up to 1.12.2). Current: layout version 0 or 1,
  // with or without processors.
  enum class Format { Legacy, Current };
  Format format = Format::Current;

  // Legacy: the description as it stands in "versionInfo", and where the universal jar in
  // the installer ("install"/"filePath") goes ("install"/"path", a coordinate).
  std::string versionInfo;
  std::string universalEntry;
  std::string universalCoordinate;

  // Current: the installer's entry holding the description ("json", "version.json" when
  // absent), the client's value of each "data" entry, the processors that run for the client,
  // in order, and the libraries they need.
  std::string descriptionEntry;
  std::map<std::string, std::string> data;
  std::vector<InstallerProcessor> processors;
  std::vector<LibraryEntry> libraries;
};

// Reads the profile's bytes: Invalid when they are not a profile of either format,
// Unsupported for a layout version this launcher does not know.
Result<InstallerProfile> ReadInstallerProfile(std::string_view text);

}  // namespace kv
