#pragma once

#include <string>
#include <string_view>
#include <vector>

// The version description: the JSON document that tells the launcher which libraries, main
// class and argument template a game version needs. Only the keys below are read.
namespace kv {

struct LibraryRule {
  std::string action;  // "allow" or "disallow"
  std::string osName;  // "os"/"name"; empty when the rule names no system
};

struct LibraryEntry {
  std::string name;  // the coordinate "group:artifact:version"
  std::vector<LibraryRule> rules;
  std::string nativesLinux;
  std::string nativesWindows;
  std::string nativesOsx;
  std::vector<std::string> extractExclude;
};

struct VersionDescription {
  std::string id;
  std::string type;
  std::string minecraftArguments;  // the game-argument template with ${...} placeholders
  std::string assets;              // the name of the asset index
  std::vector<LibraryEntry> libraries;
  std::string mainClass;
};

// Fills `description` from the document's bytes (NULs included). True when the bytes are
// JSON: the record then holds exactly this document, nothing of an earlier one. False when
// they are not (or nest deeper than the reader allows): the record is left untouched.
//
// Text fields: missing or null is empty, a string its content, a boolean "true" or "false";
// a number, array or object where text belongs reads as empty. A "libraries", "rules" or
// "exclude" that is not an array reads as empty; so does a library or rule that is not an
// object.
bool ParseVersionDescription(std::string_view text, VersionDescription& description);

}  // namespace kv
