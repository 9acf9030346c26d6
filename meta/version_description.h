#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The version description: the JSON document that tells the launcher which libraries, main
// class and arguments a game version needs. Two forms are read: the older one with a single
// argument template ("minecraftArguments") and today's, whose "arguments" lists game and Java
// arguments with rules, whose files carry their addresses and checksums, and which may name a
// parent description ("inheritsFrom") that it extends. Only the keys below are read.
namespace kv {

// A condition on the system or on the launch. A rule matches when every part it names
// matches; the last matching rule of a list decides (see RulesAllow in game/). Every member
// of a rule and a library has a default, so that code names only what it knows
// ({"allow", "osx"}).
struct LibraryRule {
  std::string action{};     // "allow" or "disallow"
  std::string osName{};     // "os"/"name"; empty when the rule names no system
  std::string osArch{};     // "os"/"arch", e.g. "x86"
  std::string osVersion{};  // "os"/"version": a regular expression over the system's version
  // "features": each named launch feature with the value the rule asks for.
  std::vector<std::pair<std::string, bool>> features{};
};

// A published file: where it is, its checksum and its length. Absent members read as empty,
// the size as -1.
struct RemoteFile {
  std::string path;  // below the libraries root, for library files
  std::string url;
  std::string sha1;
  std::int64_t size = -1;
};

struct LibraryEntry {
  std::string name{};  // the coordinate "group:artifact:version[:classifier]"
  std::vector<LibraryRule> rules{};
  std::string nativesLinux{};
  std::string nativesWindows{};
  std::string nativesOsx{};
  std::vector<std::string> extractExclude{};
  // "downloads"/"artifact"; for a library that names its repository, the "sha1" and "size"
  // beside it, without a path or address of their own.
  std::optional<RemoteFile> artifact{};
  std::map<std::string, RemoteFile> classifiers{};  // "downloads"/"classifiers", by classifier
  std::string repository{};                         // "url": a Maven repository's base (loaders)
};

// One element of "arguments"/"game" or "arguments"/"jvm": a string, or an object whose
// "value" (a string or a list of them) applies where its rules allow.
struct ArgumentEntry {
  std::vector<std::string> values;
  std::vector<LibraryRule> rules;
};

// "logging"/"client": the log configuration the game is started with.
struct LoggingConfig {
  std::string argument;  // e.g. "-Dlog4j.configurationFile=${path}"
  std::string fileId;    // the configuration's file name
  RemoteFile file;
};

struct VersionDescription {
  std::string id;
  std::string type;
  std::string inheritsFrom;        // the parent this description extends; empty for none
  std::string minecraftArguments;  // the older form's game-argument template
  std::string assets;              // the name of the asset index
  RemoteFile assetIndex;           // "assetIndex": where the index is published
  std::vector<LibraryEntry> libraries;
  std::string mainClass;
  std::string jar;                 // the version whose client jar this one's is made from
  std::map<std::string, RemoteFile> downloads;  // "downloads", by key ("client", ...)
  // "arguments"/"game" and "arguments"/"jvm"; nothing when the description has no such list.
  std::optional<std::vector<ArgumentEntry>> gameArguments;
  std::optional<std::vector<ArgumentEntry>> jvmArguments;
  int javaMajorVersion = 0;        // "javaVersion"/"majorVersion"; 0 when none is named
  std::string javaComponent;       // "javaVersion"/"component": the publisher's runtime; empty when none is named
  LoggingConfig logging;
};

// Fills `description` from the document's bytes (NULs included). True when the bytes are
// JSON: the record then holds exactly this document, nothing of an earlier one. False when
// they are not (or nest deeper than the reader allows): the record is left untouched.
//
// Text fields: missing or null is empty, a string its content, a boolean "true" or "false";
// a number, array or object where text belongs reads as empty. A list that is not an array
// reads as empty; so does a library, rule or argument that is not an object (or, for an
// argument, a string). Sizes that are not whole non-negative numbers read as -1.
bool ParseVersionDescription(std::string_view text, VersionDescription& description);

// Whether the description is in today's form: it lists its arguments ("arguments"). Such a
// description is read with its rules on every system; the older form keeps the older rules.
bool IsModernForm(const VersionDescription& description);

// The client jar's published file ("downloads"/"client"), or nothing.
const RemoteFile* ClientDownload(const VersionDescription& description);

}  // namespace kv
