#include "tools/korvane-catalogue/jar_metadata.h"

#include <json/json.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <sstream>
#include <toml++/toml.h>

#include "meta/json_document.h"
#include "tools/korvane-catalogue/jar_reader.h"
#include "tools/qrx/game_versions.h"
#include "util/ascii_text.h"

namespace kv::catalogue {
namespace {

using json::Member;
using json::Text;
using qrx::GameVersions;
using qrx::ModLoader;

constexpr std::size_t kMaxMetadataBytes = 1u << 20;
constexpr std::size_t kMaxIconBytes = 4u << 20;

std::vector<std::string> JsonTexts(const Json::Value& value) {
  std::vector<std::string> texts;
  for (const Json::Value& item : json::ArrayOrEmpty(value)) {
    std::string text = item.isObject() ? Text(Member(item, "name")) : Text(item);
    if (!text.empty()) texts.push_back(std::move(text));
  }
  return texts;
}

// "Alice, Bob" as two authors.
std::vector<std::string> SplitAuthors(std::string_view line) {
  std::vector<std::string> authors;
  std::stringstream parts{std::string(line)};
  std::string part;
  while (std::getline(parts, part, ',')) {
    if (std::string author = Trim(part); !author.empty()) authors.push_back(std::move(author));
  }
  return authors;
}

// A value of the jar's manifest ("Implementation-Version"), for versions a build fills in.
std::string ManifestValue(const JarReader& jar, std::string_view key) {
  const std::optional<std::string> manifest = jar.Read("META-INF/MANIFEST.MF", kMaxMetadataBytes);
  if (!manifest) return {};
  std::istringstream lines(*manifest);
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && Trim(line.substr(0, colon)) == key) return Trim(line.substr(colon + 1));
  }
  return {};
}

bool IsPlaceholder(std::string_view text) { return text.find("${") != std::string_view::npos; }

void ReadIcon(const JarReader& jar, std::string path, JarMod& mod, std::vector<std::string>& warnings) {
  path = Trim(path);
  while (!path.empty() && path.front() == '/') path.erase(0, 1);
  if (path.empty()) return;
  std::optional<std::string> bytes = jar.Read(path, kMaxIconBytes);
  if (!bytes || bytes->empty()) {
    warnings.push_back("图标 " + path + " 不在 jar 中或过大");
    return;
  }
  const std::string extension = LowerExtension(path);
  if (extension != "png" && extension != "jpg" && extension != "jpeg" && extension != "gif") {
    warnings.push_back("图标 " + path + " 不是 png、jpg 或 gif 图片");
    return;
  }
  mod.iconBytes = std::move(*bytes);
  mod.iconExtension = extension;
}

// The fields the JSON metadata of both kinds share, under their own id key; nothing without
// an id.
std::optional<JarMod> JsonMod(const Json::Value& object, const char* idKey, ModLoader loader, const char* file,
                              std::string& error) {
  JarMod mod;
  qrx::CatalogueEntry& entry = mod.entry;
  entry.id = Text(Member(object, idKey));
  if (entry.id.empty()) {
    error = std::string(file) + " 中没有 " + idKey;
    return std::nullopt;
  }
  entry.loader = loader;
  entry.name = Text(Member(object, "name"));
  entry.version = Text(Member(object, "version"));
  entry.description = Text(Member(object, "description"));
  return mod;
}

std::optional<JarMod> FromMcmodInfo(const JarReader& jar, const std::string& text, std::string& error,
                                    std::vector<std::string>& warnings) {
  Json::Value root;
  if (!json::ParseDocument(text, root)) {
    error = "mcmod.info 不是 JSON";
    return std::nullopt;
  }
  const Json::Value& list = root.isObject() ? Member(root, "modList") : root;
  const Json::Value& first = json::ArrayOrEmpty(list).empty() ? Json::Value::nullSingleton() : list[0];
  std::optional<JarMod> mod = JsonMod(first, "modid", ModLoader::Forge, "mcmod.info", error);
  if (!mod) return std::nullopt;
  qrx::CatalogueEntry& entry = mod->entry;
  entry.authors = JsonTexts(Member(first, "authorList"));
  if (entry.authors.empty()) entry.authors = JsonTexts(Member(first, "authors"));
  const std::string mcversion = Trim(Text(Member(first, "mcversion")));
  if (!mcversion.empty() && !IsPlaceholder(mcversion)) entry.gameVersions = {GameVersions::Syntax::Exact, {mcversion}};
  ReadIcon(jar, Text(Member(first, "logoFile")), *mod, warnings);
  return mod;
}

std::string TomlText(const toml::node_view<const toml::node>& node) { return std::string(node.value_or(std::string_view())); }

std::optional<JarMod> FromModsToml(const JarReader& jar, const std::string& text, bool neoForgeFile,
                                   std::string& error, std::vector<std::string>& warnings) {
  toml::table parsed;
  try {
    parsed = toml::parse(text);
  } catch (const std::exception& failure) {
    error = std::string("mods.toml 无法读取: ") + failure.what();
    return std::nullopt;
  }
  const toml::table& root = parsed;
  const toml::array* mods = root["mods"].as_array();
  const toml::table* first = mods && !mods->empty() ? mods->get(0)->as_table() : nullptr;
  if (!first) {
    error = "mods.toml 中没有 [[mods]]";
    return std::nullopt;
  }
  const toml::node_view<const toml::node> modView(first);
  JarMod mod;
  qrx::CatalogueEntry& entry = mod.entry;
  entry.id = TomlText(modView["modId"]);
  if (entry.id.empty()) {
    error = "mods.toml 中没有 modId";
    return std::nullopt;
  }
  entry.name = TomlText(modView["displayName"]);
  entry.version = TomlText(modView["version"]);
  if (IsPlaceholder(entry.version)) entry.version = ManifestValue(jar, "Implementation-Version");
  entry.description = Trim(TomlText(modView["description"]));
  entry.authors = SplitAuthors(TomlText(modView["authors"]));
  if (entry.authors.empty()) entry.authors = SplitAuthors(TomlText(root["authors"]));
  entry.loader = neoForgeFile ? ModLoader::NeoForge : ModLoader::Forge;

  const toml::array* dependencies = root["dependencies"][entry.id].as_array();
  for (std::size_t i = 0; dependencies && i < dependencies->size(); ++i) {
    const toml::node_view<const toml::node> dependency(dependencies->get(i));
    const std::string dependsOn = TomlText(dependency["modId"]);
    if (dependsOn == "neoforge") entry.loader = ModLoader::NeoForge;
    if (dependsOn != "minecraft") continue;
    const std::string range = Trim(TomlText(dependency["versionRange"]));
    if (qrx::IsMavenRange(range)) {
      entry.gameVersions = {GameVersions::Syntax::MavenRange, {range}};
    } else {
      warnings.push_back("minecraft 的版本范围无法读取: " + range);
    }
  }
  std::string logo = TomlText(modView["logoFile"]);
  if (logo.empty()) logo = TomlText(root["logoFile"]);
  ReadIcon(jar, logo, mod, warnings);
  return mod;
}

std::optional<JarMod> FromFabricModJson(const JarReader& jar, const std::string& text, std::string& error,
                                        std::vector<std::string>& warnings) {
  Json::Value root;
  if (!json::ParseDocument(text, root) || !root.isObject()) {
    error = "fabric.mod.json 不是 JSON 对象";
    return std::nullopt;
  }
  std::optional<JarMod> mod = JsonMod(root, "id", ModLoader::Fabric, "fabric.mod.json", error);
  if (!mod) return std::nullopt;
  qrx::CatalogueEntry& entry = mod->entry;
  entry.authors = JsonTexts(Member(root, "authors"));
  const Json::Value& minecraft = Member(Member(root, "depends"), "minecraft");
  std::vector<std::string> predicates = minecraft.isString() ? std::vector<std::string>{Text(minecraft)} : JsonTexts(minecraft);
  if (!predicates.empty()) entry.gameVersions = {GameVersions::Syntax::Fabric, predicates};
  // The icon is one path, or paths by size: the largest is taken.
  const Json::Value& icon = Member(root, "icon");
  std::string iconPath = Text(icon);
  long largest = -1;
  for (const std::string& size : icon.isObject() ? icon.getMemberNames() : std::vector<std::string>{}) {
    const long pixels = std::strtol(size.c_str(), nullptr, 10);
    if (pixels > largest && Member(icon, size).isString()) {
      largest = pixels;
      iconPath = Text(Member(icon, size));
    }
  }
  ReadIcon(jar, iconPath, *mod, warnings);
  return mod;
}

}  // namespace

std::optional<JarMod> ReadJarMod(const std::string& jarPath, std::string& error, std::vector<std::string>& warnings) {
  const std::optional<JarReader> jar = JarReader::Open(jarPath);
  if (!jar) {
    error = "不是可读的 jar";
    return std::nullopt;
  }
  std::optional<JarMod> mod;
  if (std::optional<std::string> text = jar->Read("META-INF/neoforge.mods.toml", kMaxMetadataBytes)) {
    mod = FromModsToml(*jar, *text, true, error, warnings);
  } else if (std::optional<std::string> forgeText = jar->Read("META-INF/mods.toml", kMaxMetadataBytes)) {
    mod = FromModsToml(*jar, *forgeText, false, error, warnings);
  } else if (std::optional<std::string> fabricText = jar->Read("fabric.mod.json", kMaxMetadataBytes)) {
    mod = FromFabricModJson(*jar, *fabricText, error, warnings);
  } else if (std::optional<std::string> infoText = jar->Read("mcmod.info", kMaxMetadataBytes)) {
    mod = FromMcmodInfo(*jar, *infoText, error, warnings);
  } else {
    error = "没有 mcmod.info、META-INF/mods.toml 或 fabric.mod.json";
  }
  if (mod && mod->entry.gameVersions.syntax == GameVersions::Syntax::None) {
    warnings.push_back("没有声明游戏版本，启动器不会提供它");
  }
  return mod;
}

}  // namespace kv::catalogue
