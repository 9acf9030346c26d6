#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/result.h"

// The publisher's Java runtimes: the index of every runtime for every platform, and the manifest
// of one runtime's files. Both come from the network, so nothing in them is trusted: a manifest
// that could put anything outside the runtime's own folder is refused as a whole.
namespace kv {

// One runtime the index offers for a platform.
struct PublishedRuntime {
  std::string component;    // "java-runtime-gamma", "jre-legacy", ...
  std::string versionName;  // "17.0.15", "8u202"
  std::string released;     // the release time as the index writes it (ISO 8601)
  std::string manifestUrl;
  std::string manifestSha1;
  std::int64_t manifestSize = -1;
};

// The index's key for a system: `os` as library rules name it ("linux", "windows", "osx") and
// `machine` the processor as the system names it ("x86_64", "i686", "aarch64", "AMD64", ...). Empty for a
// system the publisher serves no runtimes for.
std::string RuntimePlatformKey(std::string_view os, std::string_view machine);

// The runtimes the index offers for `platformKey`, one per component that has any, in the
// index's order. Components without a usable entry (no manifest address, no 40-digit SHA-1, a
// name that cannot be a folder) are left out. Invalid when the text is not a JSON object.
Result<std::vector<PublishedRuntime>> ParseRuntimeIndex(std::string_view text, std::string_view platformKey);

// Whether `component` may name a folder: letters, digits, '.', '_' and '-', not only dots.
bool IsSafeComponentName(std::string_view component);

// One entry of a runtime's manifest. Paths are relative to the runtime's folder, with '/'.
struct RuntimeEntry {
  enum class Type { File, Directory, Link };
  Type type = Type::File;
  std::string path;
  // File: the raw download.
  std::string url;
  std::string sha1;
  std::int64_t size = -1;
  bool executable = false;
  // Link: the target, relative to the link's folder.
  std::string target;
};

// Every entry of a runtime's manifest. Refused (Invalid, the text naming the entry) when the
// text is not JSON, or when any entry is unsafe or incomplete: a path that is absolute, empty,
// climbs ("..") or passes through a file or link of the manifest; a file without a raw
// download (address, 40-digit SHA-1, size); a link whose target is absolute or leads out of
// the runtime's folder; an entry of an unknown type.
Result<std::vector<RuntimeEntry>> ParseRuntimeManifest(std::string_view text);

}  // namespace kv
