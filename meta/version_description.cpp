#include "meta/version_description.h"

#include <utility>

#include "meta/json_document.h"

namespace kv {
namespace {

LibraryRule ReadRule(const Json::Value& element) {
  LibraryRule rule;
  rule.action = json::Text(json::Member(element, "action"));
  const Json::Value& os = json::Member(element, "os");
  rule.osName = json::Text(json::Member(os, "name"));
  rule.osArch = json::Text(json::Member(os, "arch"));
  rule.osVersion = json::Text(json::Member(os, "version"));
  const Json::Value& features = json::Member(element, "features");
  if (features.isObject()) {
    for (auto feature = features.begin(); feature != features.end(); ++feature) {
      rule.features.emplace_back(feature.name(), feature->isBool() && feature->asBool());
    }
  }
  return rule;
}

std::vector<LibraryRule> ReadRules(const Json::Value& element) {
  std::vector<LibraryRule> rules;
  for (const Json::Value& rule : json::ArrayOrEmpty(json::Member(element, "rules"))) rules.push_back(ReadRule(rule));
  return rules;
}

RemoteFile ReadRemoteFile(const Json::Value& element) {
  return {json::Text(json::Member(element, "path")), json::Text(json::Member(element, "url")),
          json::Text(json::Member(element, "sha1")), json::Size(json::Member(element, "size"))};
}

std::map<std::string, RemoteFile> ReadRemoteFiles(const Json::Value& object) {
  std::map<std::string, RemoteFile> files;
  if (!object.isObject()) return files;
  for (auto member = object.begin(); member != object.end(); ++member) {
    if (member->isObject()) files.emplace(member.name(), ReadRemoteFile(*member));
  }
  return files;
}

LibraryEntry ReadLibrary(const Json::Value& element) {
  LibraryEntry library;
  library.name = json::Text(json::Member(element, "name"));
  library.rules = ReadRules(element);
  const Json::Value& natives = json::Member(element, "natives");
  library.nativesLinux = json::Text(json::Member(natives, "linux"));
  library.nativesWindows = json::Text(json::Member(natives, "windows"));
  library.nativesOsx = json::Text(json::Member(natives, "osx"));
  const Json::Value& exclude = json::Member(json::Member(element, "extract"), "exclude");
  for (const Json::Value& prefix : json::ArrayOrEmpty(exclude)) {
    library.extractExclude.push_back(json::Text(prefix));
  }
  const Json::Value& downloads = json::Member(element, "downloads");
  const Json::Value& artifact = json::Member(downloads, "artifact");
  if (artifact.isObject()) library.artifact = ReadRemoteFile(artifact);
  library.classifiers = ReadRemoteFiles(json::Member(downloads, "classifiers"));
  library.repository = json::Text(json::Member(element, "url"));
  // A loader's library gives its checksum and length beside its repository's address: the
  // artifact at the Maven path of its name.
  if (!library.artifact && !library.repository.empty()) {
    RemoteFile beside{"", "", json::Text(json::Member(element, "sha1")), json::Size(json::Member(element, "size"))};
    if (!beside.sha1.empty() || beside.size >= 0) library.artifact = std::move(beside);
  }
  return library;
}

// A list of arguments, or nothing when the description has none (a missing or null list).
std::optional<std::vector<ArgumentEntry>> ReadArguments(const Json::Value& list) {
  if (list.isNull()) return std::nullopt;
  std::vector<ArgumentEntry> arguments;
  for (const Json::Value& element : json::ArrayOrEmpty(list)) {
    ArgumentEntry argument;
    if (element.isString()) {
      argument.values.push_back(json::Text(element));
    } else if (element.isObject()) {
      const Json::Value& value = json::Member(element, "value");
      if (value.isArray()) {
        for (const Json::Value& word : value) argument.values.push_back(json::Text(word));
      } else {
        argument.values.push_back(json::Text(value));
      }
      argument.rules = ReadRules(element);
    } else {
      continue;
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

LoggingConfig ReadLogging(const Json::Value& client) {
  const Json::Value& file = json::Member(client, "file");
  return {json::Text(json::Member(client, "argument")), json::Text(json::Member(file, "id")), ReadRemoteFile(file)};
}

}  // namespace

bool ParseVersionDescription(std::string_view text, VersionDescription& description) {
  Json::Value root;
  if (!json::ParseDocument(text, root)) return false;

  VersionDescription read;
  read.id = json::Text(json::Member(root, "id"));
  read.type = json::Text(json::Member(root, "type"));
  read.inheritsFrom = json::Text(json::Member(root, "inheritsFrom"));
  read.minecraftArguments = json::Text(json::Member(root, "minecraftArguments"));
  read.assets = json::Text(json::Member(root, "assets"));
  const Json::Value& assetIndex = json::Member(root, "assetIndex");
  read.assetIndex = ReadRemoteFile(assetIndex);
  // The index's id stands for "assets" in descriptions that name only the index.
  if (read.assets.empty()) read.assets = json::Text(json::Member(assetIndex, "id"));
  for (const Json::Value& element : json::ArrayOrEmpty(json::Member(root, "libraries"))) {
    read.libraries.push_back(ReadLibrary(element));
  }
  read.mainClass = json::Text(json::Member(root, "mainClass"));
  read.jar = json::Text(json::Member(root, "jar"));
  read.downloads = ReadRemoteFiles(json::Member(root, "downloads"));
  const Json::Value& arguments = json::Member(root, "arguments");
  read.gameArguments = ReadArguments(json::Member(arguments, "game"));
  read.jvmArguments = ReadArguments(json::Member(arguments, "jvm"));
  const std::int64_t major = json::Size(json::Member(json::Member(root, "javaVersion"), "majorVersion"));
  read.javaMajorVersion = major > 0 && major < 1000 ? static_cast<int>(major) : 0;
  read.javaComponent = json::Text(json::Member(json::Member(root, "javaVersion"), "component"));
  read.logging = ReadLogging(json::Member(json::Member(root, "logging"), "client"));
  description = std::move(read);
  return true;
}

bool IsModernForm(const VersionDescription& description) {
  return description.gameArguments.has_value() || description.jvmArguments.has_value();
}

const RemoteFile* ClientDownload(const VersionDescription& description) {
  const auto found = description.downloads.find("client");
  return found == description.downloads.end() ? nullptr : &found->second;
}

}  // namespace kv
