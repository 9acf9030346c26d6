#include "auth/microsoft_account_file.h"

#include <filesystem>

#include "auth/reply_text.h"
#include "meta/json_document.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

constexpr unsigned kOwnerOnly = 0600;

Json::Value TexturesJson(const std::vector<ProfileTexture>& textures) {
  Json::Value list(Json::arrayValue);
  for (const ProfileTexture& texture : textures) {
    Json::Value item(Json::objectValue);
    item["id"] = texture.id;
    item["state"] = texture.state;
    item["url"] = texture.url;
    item["variant"] = texture.variant;
    list.append(item);
  }
  return list;
}

std::vector<ProfileTexture> TexturesOf(const Json::Value& list) {
  std::vector<ProfileTexture> textures;
  for (const Json::Value& item : json::ArrayOrEmpty(list)) {
    textures.push_back({OpaqueText(item, "id"), OpaqueText(item, "state"), OpaqueText(item, "url"),
                        ShownText(item, "variant")});
  }
  return textures;
}

}  // namespace

std::string MicrosoftAccountPath(const std::string& settingsPath) {
  std::string folder;
  std::string name;
  SplitPath(settingsPath, folder, name);
  return folder + kMicrosoftAccountFileName;
}

Result<MicrosoftAccount> LoadMicrosoftAccount(const std::string& path) {
  if (!PathExists(path)) return Fail(FailureKind::NotFound, msg::kMsaNotSignedIn);
  Json::Value root;
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text || !json::ParseDocument(*text, root) || !root.isObject()) {
    return Fail(FailureKind::Invalid, msg::kMsaAccountFileDamaged);
  }
  MicrosoftAccount account;
  account.refreshToken = OpaqueText(root, "refreshToken");
  account.accessToken = OpaqueText(root, "accessToken");
  const Json::Value& expiresAt = json::Member(root, "expiresAt");
  account.expiresAt = expiresAt.isInt64() ? expiresAt.asInt64() : 0;
  account.userHash = OpaqueText(root, "userHash");
  account.xuid = OpaqueText(root, "xuid");
  const Json::Value& profile = json::Member(root, "profile");
  account.profile.id = OpaqueText(profile, "id");
  account.profile.name = ShownText(profile, "name");
  account.profile.skins = TexturesOf(json::Member(profile, "skins"));
  account.profile.capes = TexturesOf(json::Member(profile, "capes"));
  if (account.refreshToken.empty() || account.accessToken.empty() || account.profile.id.empty() ||
      account.profile.name.empty()) {
    return Fail(FailureKind::Invalid, msg::kMsaAccountFileDamaged);
  }
  return account;
}

Status SaveMicrosoftAccount(const std::string& path, const MicrosoftAccount& account) {
  Json::Value root(Json::objectValue);
  root["refreshToken"] = account.refreshToken;
  root["accessToken"] = account.accessToken;
  root["expiresAt"] = Json::Int64(account.expiresAt);
  root["userHash"] = account.userHash;
  root["xuid"] = account.xuid;
  root["profile"]["id"] = account.profile.id;
  root["profile"]["name"] = account.profile.name;
  root["profile"]["skins"] = TexturesJson(account.profile.skins);
  root["profile"]["capes"] = TexturesJson(account.profile.capes);
  MakeFoldersForPath(path);
  if (!WriteFileAtomically(path, json::WriteDocument(root), kOwnerOnly)) return Fail(FailureKind::Io, msg::kSignInNotSaved);
  return {};
}

Status ForgetMicrosoftAccount(const std::string& path) {
  std::error_code error;
  std::filesystem::remove(path, error);
  if (error || PathExists(path)) return Fail(FailureKind::Io, msg::kMsaAccountNotForgotten);
  return {};
}

}  // namespace kv
