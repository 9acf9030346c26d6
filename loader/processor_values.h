#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "util/result.h"

// The values that an installer's processors are given. A profile's "data" entry is resolved
// once: "[group:artifact:version:classifier@ext]" is that artifact's path below the libraries,
// "'text'" the text itself, "/path" the installer's entry of that name, extracted into a
// temporary folder. An argument or output is "[coordinate]" (an artifact's path) or a text
// in which every "{KEY}" is replaced by the value of KEY.
namespace kv {

class ProcessorValues {
 public:
  // Extracts the installer's entry (without its leading '/') and returns the file's path.
  using EntryExtractor = std::function<Result<std::string>(const std::string& entry)>;

  ProcessorValues(std::string librariesPath, EntryExtractor extract);

  // Sets KEY to a value that needs no resolving (MINECRAFT_JAR, SIDE, ROOT...).
  void Set(const std::string& key, std::string value);
  // Resolves a "data" entry's value and sets KEY to it. Fails for an artifact that could
  // name a path outside the libraries, or an entry that cannot be extracted.
  Status Define(const std::string& key, std::string_view raw);

  // An argument or an output's name or checksum with its values in place. Fails naming a key
  // that has no value, or an artifact that could name a path outside the libraries.
  Result<std::string> Resolve(std::string_view text) const;

  // The path below the libraries of an artifact coordinate; Invalid for an unsafe one.
  Result<std::string> ArtifactPath(std::string_view coordinate) const;

 private:
  std::string libraries_;
  EntryExtractor extract_;
  std::map<std::string, std::string, std::less<>> values_;
};

}  // namespace kv
