#include "mods/mod_documents.h"

#include <json/json.h>

#include "meta/json_document.h"

namespace kv {
namespace {

using json::Member;

// Reading stops at the first value of the wrong kind; `ok` remembers it.
class Reader {
 public:
  bool ok = true;

  std::string Text(const Json::Value& value) {
    if (!value.isNull() && !value.isString() && !value.isBool()) ok = false;
    return json::Text(value);
  }

  // An object, or null for an absent key, or an array, which has no members to read; a
  // string, number or boolean spoils the document.
  const Json::Value& Object(const Json::Value& value) {
    if (!value.isNull() && !value.isObject() && !value.isArray()) ok = false;
    return value;
  }

  ModBranch Branch(const Json::Value& value) {
    const Json::Value& object = Object(value);
    return {Text(Member(object, "branch")), Text(Member(object, "mcversion"))};
  }

  ModExtraInfo Extra(const Json::Value& value) {
    const Json::Value& object = Object(value);
    ModExtraInfo extra;
    for (const Json::Value& author : json::ArrayOrEmpty(Member(object, "author"))) {
      extra.author.push_back(Text(author));
    }
    extra.modtype = Text(Member(object, "modtype"));
    extra.modchn = Text(Member(object, "modchn"));
    extra.icon = Text(Member(object, "icon"));
    return extra;
  }

  CatalogueMod Catalogue(const Json::Value& element) {
    const Json::Value& object = Object(element);
    if (object.isNull()) ok = false;
    CatalogueMod mod;
    mod.id = Text(Member(object, "id"));
    mod.installed = Text(Member(object, "installed"));
    for (const Json::Value& branch : json::ArrayOrEmpty(Member(object, "branches"))) {
      mod.branches.push_back(Branch(branch));
      if (branch.isNull()) ok = false;
    }
    mod.extra = Extra(Member(object, "extrainfo"));
    return mod;
  }

  InstalledMod Installed(const Json::Value& element) {
    const Json::Value& object = Object(element);
    if (object.isNull()) ok = false;
    InstalledMod mod;
    const Json::Value& ref = Object(Member(object, "mod"));
    mod.mod = {Text(Member(ref, "id")), Text(Member(ref, "branch")), Text(Member(ref, "version")),
               Text(Member(ref, "variant"))};
    mod.branch = Branch(Member(object, "branch"));
    const Json::Value& installs = Object(Member(object, "installs"));
    for (const Json::Value& file : json::ArrayOrEmpty(Member(installs, "installs"))) {
      const Json::Value& fileObject = Object(file);
      if (file.isNull()) ok = false;
      mod.installs.push_back(
          {Text(Member(fileObject, "from")), Text(Member(fileObject, "to")), Text(Member(fileObject, "md5"))});
    }
    mod.extra = Extra(Member(object, "extrainfo"));
    return mod;
  }
};

template <typename Record, typename ReadElement>
bool ParseList(std::string_view text, const char* key, std::vector<Record>& out, ReadElement readElement) {
  if (text.empty()) return false;
  Json::Value root;
  if (!json::ParseDocument(text, root) || !root.isObject()) return false;
  Reader reader;
  std::vector<Record> records;
  for (const Json::Value& element : json::ArrayOrEmpty(Member(root, key))) {
    records.push_back(readElement(reader, element));
    if (!reader.ok) return false;
  }
  out = std::move(records);
  return true;
}

Json::Value ExtraValue(const ModExtraInfo& extra) {
  Json::Value value(Json::objectValue);
  Json::Value& authors = value["author"] = Json::Value(Json::arrayValue);
  for (const std::string& author : extra.author) authors.append(author);
  value["modtype"] = extra.modtype;
  value["modchn"] = extra.modchn;
  value["icon"] = extra.icon;
  return value;
}

Json::Value BranchValue(const ModBranch& branch) {
  Json::Value value(Json::objectValue);
  value["branch"] = branch.branch;
  value["mcversion"] = branch.mcversion;
  return value;
}

}  // namespace

bool ParseCatalogue(std::string_view text, std::vector<CatalogueMod>& mods) {
  return ParseList(text, "allmodlist", mods,
                   [](Reader& reader, const Json::Value& element) { return reader.Catalogue(element); });
}

bool ParseInstalledList(std::string_view text, std::vector<InstalledMod>& mods) {
  return ParseList(text, "installmodlist", mods,
                   [](Reader& reader, const Json::Value& element) { return reader.Installed(element); });
}

std::string WriteCatalogue(const std::vector<CatalogueMod>& mods) {
  Json::Value root(Json::objectValue);
  Json::Value& list = root["allmodlist"] = Json::Value(Json::arrayValue);
  for (const CatalogueMod& mod : mods) {
    Json::Value element(Json::objectValue);
    element["id"] = mod.id;
    element["installed"] = mod.installed;
    Json::Value& branches = element["branches"] = Json::Value(Json::arrayValue);
    for (const ModBranch& branch : mod.branches) branches.append(BranchValue(branch));
    element["extrainfo"] = ExtraValue(mod.extra);
    list.append(std::move(element));
  }
  return json::WriteCompactDocument(root);
}

std::string WriteInstalledList(const std::vector<InstalledMod>& mods) {
  Json::Value root(Json::objectValue);
  Json::Value& list = root["installmodlist"] = Json::Value(Json::arrayValue);
  for (const InstalledMod& mod : mods) {
    Json::Value element(Json::objectValue);
    Json::Value& ref = element["mod"] = Json::Value(Json::objectValue);
    ref["id"] = mod.mod.id;
    ref["branch"] = mod.mod.branch;
    ref["version"] = mod.mod.version;
    ref["variant"] = mod.mod.variant;
    element["branch"] = BranchValue(mod.branch);
    Json::Value& files = element["installs"]["installs"] = Json::Value(Json::arrayValue);
    for (const InstalledFile& file : mod.installs) {
      Json::Value fileValue(Json::objectValue);
      fileValue["from"] = file.from;
      fileValue["to"] = file.to;
      fileValue["md5"] = file.md5;
      files.append(fileValue);
    }
    element["extrainfo"] = ExtraValue(mod.extra);
    list.append(std::move(element));
  }
  return json::WriteDocument(root);
}

}  // namespace kv
