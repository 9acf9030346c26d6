#include "tests/loader/loader_publisher.h"

#include <gtest/gtest.h>

#include <utility>

#include "game/library_paths.h"
#include "tests/net/net_test_support.h"
#include "tests/support/temp_folder.h"

namespace kv::test {

namespace {

constexpr const char* kClosed = "http://127.0.0.1:9";
constexpr const char* kVersionList = "https://piston-meta.mojang.com/mc/game/version_manifest_v2.json";

// Where the China mirror keeps what a publisher's host serves, as its documentation says.
constexpr std::pair<const char*, const char*> kOnChinaMirror[] = {
    {"https://meta.fabricmc.net/", "fabric-meta/"},
    {"https://meta.quiltmc.org/", "quilt-meta/"},
    {"https://maven.fabricmc.net/", "maven/"},
    {"https://maven.quiltmc.org/repository/release/", "maven/"},
    {"https://maven.minecraftforge.net/", "maven/"},
    {"https://libraries.minecraft.net/", "maven/"},
    {"https://piston-meta.mojang.com/", ""},
    {"https://piston-data.mojang.com/", ""},
};

}  // namespace

LoaderPublisher::LoaderPublisher(std::string root, Copy copy)
    : root_(std::move(root)), copy_(copy), versionList_(Json::arrayValue) {}

std::string LoaderPublisher::ServedPath(const std::string& url) const {
  if (copy_ == Copy::Publishers) return url.substr(url.find("://") + 3);
  for (const auto& [host, onMirror] : kOnChinaMirror) {
    const std::string prefix = host;
    if (url.compare(0, prefix.size(), prefix) == 0) return "bmclapi/" + std::string(onMirror) + url.substr(prefix.size());
  }
  ADD_FAILURE() << "the China mirror keeps no copy of " << url;
  return "bmclapi/unknown";
}

void LoaderPublisher::Serve(const std::string& url, const std::string& bytes) const {
  WriteFile(root_ + "/" + ServedPath(url), bytes);
}

void LoaderPublisher::ServeList(const std::string& url, const std::string& bytes) const {
  WriteFile(root_ + "/" + ServedPath(url) + "/.index", bytes);
}

void LoaderPublisher::ServeOnChinaMirror(const std::string& path, const std::string& bytes) const {
  WriteFile(root_ + "/bmclapi" + path, bytes);
}

void LoaderPublisher::ServeArtifact(const std::string& repository, const std::string& coordinate,
                                    const std::string& bytes, bool withChecksum) const {
  const std::string url = repository + MavenPath(coordinate);
  Serve(url, bytes);
  if (withChecksum) Serve(url + ".sha1", Sha1Of(bytes));
}

std::string LoaderPublisher::ServeProfile(const std::string& url, Json::Value profile,
                                          const std::function<std::string(const std::string& coordinate)>& jarOf) const {
  for (Json::Value& library : profile["libraries"]) {
    const std::string coordinate = library["name"].asString();
    const std::string bytes = jarOf(coordinate);
    ServeArtifact(library["url"].asString(), coordinate, bytes);
    if (library.isMember("sha1")) library["sha1"] = Sha1Of(bytes);
    if (library.isMember("size")) library["size"] = static_cast<Json::Int64>(bytes.size());
  }
  const std::string bytes = WriteJson(profile);
  Serve(url, bytes);
  return bytes;
}

void LoaderPublisher::ServeGameVersion(const std::string& id, const std::string& client) {
  Json::Value description;
  description["id"] = id;
  description["type"] = "release";
  description["mainClass"] = "net.minecraft.client.main.Main";
  description["javaVersion"]["majorVersion"] = 17;
  for (const char* word : {"--username", "${auth_player_name}", "--version", "${version_name}", "--gameDir",
                           "${game_directory}", "--accessToken", "${auth_access_token}"}) {
    description["arguments"]["game"].append(word);
  }
  for (const char* word : {"-Djava.library.path=${natives_directory}", "-cp", "${classpath}"}) {
    description["arguments"]["jvm"].append(word);
  }
  description["libraries"] = Json::arrayValue;
  Json::Value& jar = description["downloads"]["client"];
  jar["url"] = "https://piston-data.mojang.com/v1/objects/" + Sha1Of(client) + "/client.jar";
  jar["sha1"] = Sha1Of(client);
  jar["size"] = static_cast<Json::Int64>(client.size());
  Serve(jar["url"].asString(), client);
  const std::string mappings = "mappings of " + id;
  Json::Value& map = description["downloads"]["client_mappings"];
  map["url"] = "https://piston-data.mojang.com/v1/objects/" + Sha1Of(mappings) + "/client.txt";
  map["sha1"] = Sha1Of(mappings);
  map["size"] = static_cast<Json::Int64>(mappings.size());
  Serve(map["url"].asString(), mappings);

  const std::string bytes = WriteJson(description);
  Json::Value entry;
  entry["id"] = id;
  entry["type"] = "release";
  entry["sha1"] = Sha1Of(bytes);
  entry["url"] = "https://piston-meta.mojang.com/v1/packages/" + entry["sha1"].asString() + "/" + id + ".json";
  Serve(entry["url"].asString(), bytes);
  versionList_.append(entry);
  Json::Value list;
  list["latest"]["release"] = id;
  list["versions"] = versionList_;
  Serve(kVersionList, WriteJson(list));
}

DownloadSource LoaderPublisher::Official(const std::string& mirrorBase) {
  return DownloadSource(SourceKind::Official, mirrorBase, kClosed, kClosed);
}

DownloadSource LoaderPublisher::ChinaMirror(const std::string& mirrorBase) {
  return DownloadSource(SourceKind::ChinaMirror, kClosed, mirrorBase + "/bmclapi", kClosed);
}

std::string MetaListForGame(const Json::Value& loaders, const std::string& gameVersion) {
  Json::Value list(Json::arrayValue);
  for (const Json::Value& loader : loaders) {
    Json::Value entry;
    entry["loader"] = loader;
    entry["intermediary"]["maven"] = "net.fabricmc:intermediary:" + gameVersion;
    entry["intermediary"]["version"] = gameVersion;
    list.append(entry);
  }
  return WriteJson(list);
}

Json::Value QuiltProfile(const std::string& loaderVersion, const std::string& gameVersion) {
  Json::Value profile;
  profile["id"] = "quilt-loader-" + loaderVersion + "-" + gameVersion;
  profile["inheritsFrom"] = gameVersion;
  profile["type"] = "release";
  profile["time"] = "2024-08-01T12:00:00+0000";
  profile["releaseTime"] = "2024-08-01T12:00:00+0000";
  profile["mainClass"] = "org.quiltmc.loader.impl.launch.knot.KnotClient";
  profile["arguments"]["game"] = Json::arrayValue;
  Json::Value intermediary;
  intermediary["name"] = "net.fabricmc:intermediary:" + gameVersion;
  intermediary["url"] = "https://maven.fabricmc.net/";
  profile["libraries"].append(intermediary);
  Json::Value loader;
  loader["name"] = "org.quiltmc:quilt-loader:" + loaderVersion;
  loader["url"] = "https://maven.quiltmc.org/repository/release/";
  profile["libraries"].append(loader);
  return profile;
}

Json::Value ParseJson(const std::string& text) {
  Json::Value value;
  std::string errors;
  std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
  reader->parse(text.data(), text.data() + text.size(), &value, &errors);
  return value;
}

std::string WriteJson(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  return Json::writeString(builder, value);
}

}  // namespace kv::test
