#include "meta/version_description.h"

#include <utility>

#include "meta/json_document.h"

namespace kv {
namespace {

LibraryEntry ReadLibrary(const Json::Value& element) {
  LibraryEntry library;
  library.name = json::Text(json::Member(element, "name"));
  for (const Json::Value& rule : json::ArrayOrEmpty(json::Member(element, "rules"))) {
    library.rules.push_back({json::Text(json::Member(rule, "action")),
                             json::Text(json::Member(json::Member(rule, "os"), "name"))});
  }
  const Json::Value& natives = json::Member(element, "natives");
  library.nativesLinux = json::Text(json::Member(natives, "linux"));
  library.nativesWindows = json::Text(json::Member(natives, "windows"));
  library.nativesOsx = json::Text(json::Member(natives, "osx"));
  const Json::Value& exclude = json::Member(json::Member(element, "extract"), "exclude");
  for (const Json::Value& prefix : json::ArrayOrEmpty(exclude)) {
    library.extractExclude.push_back(json::Text(prefix));
  }
  return library;
}

}  // namespace

bool ParseVersionDescription(std::string_view text, VersionDescription& description) {
  Json::Value root;
  if (!json::ParseDocument(text, root)) return false;

  VersionDescription read;
  read.id = json::Text(json::Member(root, "id"));
  read.type = json::Text(json::Member(root, "type"));
  read.minecraftArguments = json::Text(json::Member(root, "minecraftArguments"));
  read.assets = json::Text(json::Member(root, "assets"));
  for (const Json::Value& element : json::ArrayOrEmpty(json::Member(root, "libraries"))) {
    read.libraries.push_back(ReadLibrary(element));
  }
  read.mainClass = json::Text(json::Member(root, "mainClass"));
  description = std::move(read);
  return true;
}

}  // namespace kv
