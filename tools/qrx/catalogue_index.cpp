#include "tools/qrx/catalogue_index.h"

#include <json/json.h>

#include <set>

#include "meta/json_document.h"
#include "net/url_encoding.h"
#include "util/ascii_text.h"
#include "util/file_names.h"
#include "util/text.h"

namespace kv::qrx {
namespace {

using json::Member;
using json::Text;

constexpr std::uint64_t kMaxFileBytes = 1ull << 30;
constexpr std::uint64_t kMaxIconBytes = 4ull << 20;
constexpr std::size_t kMaxIdBytes = 128;

const char* SyntaxKey(GameVersions::Syntax syntax) {
  switch (syntax) {
    case GameVersions::Syntax::Exact: return "versions";
    case GameVersions::Syntax::MavenRange: return "range";
    case GameVersions::Syntax::Fabric: return "fabric";
    case GameVersions::Syntax::None: break;
  }
  return nullptr;
}

std::vector<std::string> Texts(const Json::Value& value) {
  std::vector<std::string> texts;
  if (value.isString()) texts.push_back(Text(value));
  for (const Json::Value& item : json::ArrayOrEmpty(value)) {
    if (item.isString()) texts.push_back(Text(item));
  }
  return texts;
}

GameVersions ReadGameVersions(const Json::Value& value) {
  for (GameVersions::Syntax syntax :
       {GameVersions::Syntax::Exact, GameVersions::Syntax::MavenRange, GameVersions::Syntax::Fabric}) {
    const Json::Value& declared = Member(value, SyntaxKey(syntax));
    if (declared.isNull()) continue;
    GameVersions versions{syntax, Texts(declared)};
    if (syntax == GameVersions::Syntax::MavenRange) versions.values.resize(std::min<std::size_t>(versions.values.size(), 1));
    return versions;
  }
  return {};
}

std::optional<CatalogueFile> ReadFile(const Json::Value& value) {
  if (!value.isObject()) return std::nullopt;
  const Json::Value& size = Member(value, "size");
  CatalogueFile file;
  file.path = Text(Member(value, "path"));
  file.name = Text(Member(value, "name"));
  file.md5 = Text(Member(value, "md5"));
  for (char& ch : file.md5) {
    if (ch >= 'A' && ch <= 'F') ch = static_cast<char>(ch - 'A' + 'a');
  }
  file.size = size.isUInt64() ? size.asUInt64() : 0;
  return file;
}

bool IsMd5(std::string_view digest) {
  return digest.size() == 32 && digest.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

std::string FileProblem(const CatalogueFile& file, std::uint64_t maxBytes) {
  if (!IsCataloguePath(file.path)) return "地址不在目录之内: " + file.path;
  if (!IsMd5(file.md5)) return "MD5 无效: " + file.path;
  if (file.size == 0 || file.size > maxBytes) return "大小无效: " + file.path;
  return {};
}

Json::Value FileValue(const CatalogueFile& file, bool withName) {
  Json::Value value(Json::objectValue);
  value["path"] = file.path;
  if (withName) value["name"] = file.name;
  value["md5"] = file.md5;
  value["size"] = Json::UInt64(file.size);
  return value;
}

}  // namespace

std::optional<ModLoader> LoaderFromName(std::string_view name) {
  if (name == "forge") return ModLoader::Forge;
  if (name == "neoforge") return ModLoader::NeoForge;
  if (name == "fabric") return ModLoader::Fabric;
  return std::nullopt;
}

std::string LoaderName(ModLoader loader) {
  switch (loader) {
    case ModLoader::Forge: return "forge";
    case ModLoader::NeoForge: return "neoforge";
    case ModLoader::Fabric: return "fabric";
  }
  return {};
}

std::string LoaderTitle(ModLoader loader) {
  switch (loader) {
    case ModLoader::Forge: return "Forge";
    case ModLoader::NeoForge: return "NeoForge";
    case ModLoader::Fabric: return "Fabric";
  }
  return {};
}

std::optional<std::vector<CatalogueEntry>> ReadCatalogueIndex(std::string_view text, std::string& error,
                                                              std::vector<std::string>& warnings) {
  Json::Value root;
  if (!json::ParseDocument(text, root) || !root.isObject()) {
    error = "目录不是 JSON 对象";
    return std::nullopt;
  }
  const Json::Value& format = Member(root, "format");
  if (!format.isInt() || format.asInt() != kCatalogueFormat) {
    error = "目录格式不受支持 (需要 format " + std::to_string(kCatalogueFormat) + ")";
    return std::nullopt;
  }
  const Json::Value& mods = Member(root, "mods");
  if (!mods.isArray()) {
    error = "目录没有 mods 列表";
    return std::nullopt;
  }
  std::vector<CatalogueEntry> entries;
  entries.reserve(mods.size());
  for (Json::ArrayIndex i = 0; i < mods.size(); ++i) {
    const Json::Value& value = mods[i];
    CatalogueEntry entry;
    entry.id = Text(Member(value, "id"));
    const std::optional<ModLoader> loader = LoaderFromName(Text(Member(value, "loader")));
    for (const Json::Value& file : json::ArrayOrEmpty(Member(value, "files"))) {
      if (std::optional<CatalogueFile> read = ReadFile(file)) entry.files.push_back(*read);
    }
    if (!value.isObject() || entry.id.empty() || !loader || entry.files.empty()) {
      warnings.push_back("目录第 " + std::to_string(i + 1) + " 项缺少 id、loader 或 files，已跳过");
      continue;
    }
    entry.loader = *loader;
    entry.name = Text(Member(value, "name"));
    entry.version = Text(Member(value, "version"));
    entry.authors = Texts(Member(value, "authors"));
    entry.description = Text(Member(value, "description"));
    entry.gameVersions = ReadGameVersions(Member(value, "minecraft"));
    entry.icon = ReadFile(Member(value, "icon"));
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string WriteCatalogueIndex(const std::vector<CatalogueEntry>& entries) {
  Json::Value root(Json::objectValue);
  root["format"] = kCatalogueFormat;
  Json::Value& mods = root["mods"] = Json::Value(Json::arrayValue);
  for (const CatalogueEntry& entry : entries) {
    Json::Value value(Json::objectValue);
    value["id"] = entry.id;
    value["name"] = entry.name;
    value["version"] = entry.version;
    Json::Value& authors = value["authors"] = Json::Value(Json::arrayValue);
    for (const std::string& author : entry.authors) authors.append(author);
    value["description"] = entry.description;
    value["loader"] = LoaderName(entry.loader);
    Json::Value& minecraft = value["minecraft"] = Json::Value(Json::objectValue);
    if (const char* key = SyntaxKey(entry.gameVersions.syntax)) {
      if (entry.gameVersions.syntax == GameVersions::Syntax::MavenRange) {
        minecraft[key] = entry.gameVersions.values.empty() ? std::string() : entry.gameVersions.values.front();
      } else {
        Json::Value& list = minecraft[key] = Json::Value(Json::arrayValue);
        for (const std::string& version : entry.gameVersions.values) list.append(version);
      }
    }
    if (entry.icon) value["icon"] = FileValue(*entry.icon, false);
    Json::Value& files = value["files"] = Json::Value(Json::arrayValue);
    for (const CatalogueFile& file : entry.files) files.append(FileValue(file, true));
    mods.append(value);
  }
  return json::WriteDocument(root);
}

std::string EntryProblem(const CatalogueEntry& entry) {
  if (entry.id.empty() || entry.id.size() > kMaxIdBytes || !IsValidUtf8(entry.id) || HasControlCharacter(entry.id)) {
    return "Mod 的 id 无效";
  }
  if (entry.files.empty()) return "Mod " + entry.id + " 没有文件";
  std::set<std::string> names;
  for (const CatalogueFile& file : entry.files) {
    if (!IsPlainFileName(file.name)) return "Mod " + entry.id + " 的文件名不是普通文件名: " + file.name;
    if (!names.insert(file.name).second) return "Mod " + entry.id + " 有两个同名文件: " + file.name;
    if (std::string problem = FileProblem(file, kMaxFileBytes); !problem.empty()) return problem;
  }
  if (entry.icon) return FileProblem(*entry.icon, kMaxIconBytes);
  return {};
}

bool IsCataloguePath(std::string_view path) {
  if (path.empty() || !IsValidUtf8(path) || HasControlCharacter(path)) return false;
  if (path.find_first_of("\\?#:") != std::string_view::npos) return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string_view segment = path.substr(start, end - start);
    if (segment.empty() || segment == "." || segment == "..") return false;
    if (end == path.size()) return true;
    start = end + 1;
  }
}

std::string CatalogueAddress(std::string_view base, std::string_view path) {
  std::string address(base);
  if (address.empty() || address.back() != '/') address += '/';
  return address + EncodePath(path);
}

}  // namespace kv::qrx
