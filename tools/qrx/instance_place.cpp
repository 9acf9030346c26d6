#include "tools/qrx/instance_place.h"

#include <json/json.h>

#include "meta/json_document.h"
#include "platform/java_source.h"
#include "settings/instance_folders.h"
#include "settings/instance_list.h"
#include "settings/settings.h"
#include "util/files.h"

namespace kv::qrx {
namespace {

// qrx needs the game folder of the settings, not a Java runtime.
class NoJavaSource : public JavaRuntimeSource {
 public:
  std::vector<JavaRuntime> Runtimes() const override { return {}; }
};

// A small document qrx keeps for itself; nothing when it is missing or not JSON.
std::optional<Json::Value> ReadKeptDocument(const std::string& path) {
  const std::optional<std::string> text = ReadWholeFile(path);
  Json::Value root;
  if (!text || !json::ParseDocument(*text, root)) return std::nullopt;
  return root;
}

}  // namespace

std::optional<InstancePlace> InstancePlace::Find(const std::string& launcherFolder, const std::string& name,
                                                 std::string& error) {
  const std::string settingsPath = launcherFolder + "KvCfg.ini";
  CInstanceList instances(settingsPath, false);
  if (!instances.Contains(name)) {
    error = "没有这个游戏实例: " + name;
    return std::nullopt;
  }
  CSettings settings(settingsPath);
  settings.Load(NoJavaSource());
  const std::string folder = InstanceFolder(settings.gamePath, name);
  if (!IsStrictlyInside(folder, InstancesRoot(settings.gamePath))) {
    error = "实例名称不能用作文件夹名: " + name;
    return std::nullopt;
  }
  return InstancePlace(folder);
}

Status InstancePlace::MakeFolders() const {
  for (const std::string& folder : {InfoFolder(), CacheFolder(), DownloadFolder()}) {
    if (Status inside = CheckNoLinkBetween(folder_, folder); !inside) return inside;
    MakeFoldersForPath(folder);
    if (!PathExists(folder)) return Fail(FailureKind::Io, "无法创建 " + folder);
  }
  return {};
}

Status InstancePlace::CheckModsFolder() const { return CheckNoLinkBetween(folder_, ModsFolder()); }

std::optional<InstanceState> InstancePlace::ReadState() const {
  const std::optional<Json::Value> root = ReadKeptDocument(QrxFolder() + "state.json");
  if (!root) return std::nullopt;
  InstanceState state{json::Text(json::Member(*root, "catalogue")), json::Text(json::Member(*root, "gameVersion")),
                      json::Text(json::Member(*root, "iconsComplete")) == "true"};
  if (state.catalogueBase.empty() || state.gameVersion.empty()) return std::nullopt;
  return state;
}

bool InstancePlace::WriteState(const InstanceState& state) const {
  Json::Value root(Json::objectValue);
  root["catalogue"] = state.catalogueBase;
  root["gameVersion"] = state.gameVersion;
  root["iconsComplete"] = state.iconsComplete;
  return WriteFileAtomically(QrxFolder() + "state.json", json::WriteDocument(root));
}

std::optional<MatchRecord> InstancePlace::ReadMatchRecord() const {
  const std::optional<Json::Value> root = ReadKeptDocument(MatchRecordPath());
  if (!root) return std::nullopt;
  MatchRecord record{json::Text(json::Member(*root, "inputs")), json::Text(json::Member(*root, "result")),
                     json::Int32(json::Member(*root, "mods"))};
  if (record.inputs.empty() || record.result.empty()) return std::nullopt;
  return record;
}

bool InstancePlace::WriteMatchRecord(const MatchRecord& record) const {
  Json::Value root(Json::objectValue);
  root["inputs"] = record.inputs;
  root["result"] = record.result;
  root["mods"] = record.mods;
  return WriteFileAtomically(MatchRecordPath(), json::WriteDocument(root));
}

std::optional<std::string> InstancePlace::ReadCatalogueText(std::string& error) const {
  std::optional<std::string> text = ReadWholeFile(CataloguePath());
  if (!text) error = "还没有 Mod 目录，请先运行 init";
  return text;
}

std::optional<std::vector<CatalogueEntry>> InstancePlace::ReadCatalogue(std::string& error) const {
  const std::optional<std::string> text = ReadCatalogueText(error);
  if (!text) return std::nullopt;
  std::vector<std::string> warnings;
  return ReadCatalogueIndex(*text, error, warnings);
}

std::optional<std::vector<InstalledMod>> InstancePlace::ReadInstalled() const {
  const std::string path = InstalledListPath();
  if (!PathExists(path)) return std::vector<InstalledMod>{};
  const std::optional<std::string> text = ReadWholeFile(path);
  std::vector<InstalledMod> installed;
  if (!text || !ParseInstalledList(*text, installed)) return std::nullopt;
  return installed;
}

bool InstancePlace::WriteInstalled(const std::vector<InstalledMod>& installed) const {
  return WriteFileAtomically(InstalledListPath(), WriteInstalledList(installed));
}

}  // namespace kv::qrx
