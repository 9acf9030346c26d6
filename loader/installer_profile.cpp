#include "loader/installer_profile.h"

#include "meta/json_document.h"

namespace kv {
namespace {

Failure NotAProfile() { return Fail(FailureKind::Invalid, "install_profile.json"); }

std::vector<std::string> Texts(const Json::Value& list) {
  std::vector<std::string> texts;
  for (const Json::Value& item : json::ArrayOrEmpty(list)) texts.push_back(json::Text(item));
  return texts;
}

// A processor runs for the client unless its "sides" leave the client out.
bool RunsForClient(const Json::Value& processor) {
  const Json::Value& sides = json::Member(processor, "sides");
  if (!sides.isArray()) return true;
  for (const Json::Value& side : sides) {
    if (json::Text(side) == "client") return true;
  }
  return false;
}

Result<InstallerProfile> ReadLegacy(const Json::Value& root) {
  const Json::Value& install = json::Member(root, "install");
  const Json::Value& versionInfo = json::Member(root, "versionInfo");
  if (!install.isObject() || !versionInfo.isObject()) return NotAProfile();
  InstallerProfile profile;
  profile.format = InstallerProfile::Format::Legacy;
  profile.versionInfo = json::WriteDocument(versionInfo);
  profile.universalEntry = json::Text(json::Member(install, "filePath"));
  profile.universalCoordinate = json::Text(json::Member(install, "path"));
  if (profile.universalEntry.empty() || profile.universalCoordinate.empty()) return NotAProfile();
  return profile;
}

Result<InstallerProfile> ReadCurrent(const Json::Value& root) {
  InstallerProfile profile;
  std::string entry = json::Text(json::Member(root, "json"));
  if (entry.empty()) entry = "/version.json";
  profile.descriptionEntry = entry.front() == '/' ? entry.substr(1) : entry;

  const Json::Value& data = json::Member(root, "data");
  if (data.isObject()) {
    for (const std::string& key : data.getMemberNames()) {
      profile.data[key] = json::Text(json::Member(json::Member(data, key), "client"));
    }
  }
  for (const Json::Value& processor : json::ArrayOrEmpty(json::Member(root, "processors"))) {
    if (!processor.isObject() || !RunsForClient(processor)) continue;
    InstallerProcessor run;
    run.jar = json::Text(json::Member(processor, "jar"));
    if (run.jar.empty()) return NotAProfile();
    run.classpath = Texts(json::Member(processor, "classpath"));
    run.args = Texts(json::Member(processor, "args"));
    const Json::Value& outputs = json::Member(processor, "outputs");
    if (outputs.isObject()) {
      for (const std::string& file : outputs.getMemberNames()) {
        run.outputs.emplace_back(file, json::Text(json::Member(outputs, file)));
      }
    }
    profile.processors.push_back(std::move(run));
  }

  // The libraries are written as a description writes them; its reader reads them.
  Json::Value holder(Json::objectValue);
  holder["libraries"] = json::ArrayOrEmpty(json::Member(root, "libraries"));
  VersionDescription described;
  if (!ParseVersionDescription(json::WriteDocument(holder), described)) return NotAProfile();
  profile.libraries = std::move(described.libraries);
  return profile;
}

}  // namespace

Result<InstallerProfile> ReadInstallerProfile(std::string_view text) {
  Json::Value root;
  if (!json::ParseDocument(text, root) || !root.isObject()) return NotAProfile();
  if (root.isMember("install") && root.isMember("versionInfo")) return ReadLegacy(root);
  // The installer states the version of its profile's layout under this key.
  const Json::Value& layout = json::Member(root, kLayoutVersionKey);
  if (!layout.isNumeric()) return NotAProfile();
  if (layout.asDouble() != 0 && layout.asDouble() != 1) {
    return Fail(FailureKind::Unsupported, "install_profile.json layout version " + layout.asString());
  }
  return ReadCurrent(root);
}

}  // namespace kv
