#pragma once

#include <json/json.h>

#include <functional>
#include <string>

#include "install/download_source.h"

// The loaders' publishers, the game's publisher and the China mirror in one folder, as
// korvane-mirror serves them for the tests: an address https://HOST/PATH of a publisher is
// served from HOST/PATH (a list whose address is also a folder's, from that folder's .index);
// the China mirror from bmclapi/, its copy of a publisher's file at the path that the mirror's
// documentation gives for it.
namespace kv::test {

class LoaderPublisher {
 public:
  enum class Copy { Publishers, ChinaMirror };
  // Serves into `root` as the publishers do, or as the China mirror does (below root/bmclapi).
  explicit LoaderPublisher(std::string root, Copy copy = Copy::Publishers);

  // Serves `bytes` at the publisher's address `url` (or where the China mirror keeps it).
  void Serve(const std::string& url, const std::string& bytes) const;
  // Serves `bytes` at a list's address, below which other documents are served.
  void ServeList(const std::string& url, const std::string& bytes) const;
  // Serves `bytes` at `path` of the China mirror's own (a document that is no publisher's).
  void ServeOnChinaMirror(const std::string& path, const std::string& bytes) const;
  // Serves a library of the Maven repository `repository` (its base, ending in "/") by its
  // coordinate, with the .sha1 the repository publishes beside it when `withChecksum`.
  void ServeArtifact(const std::string& repository, const std::string& coordinate, const std::string& bytes,
                     bool withChecksum = true) const;

  // Serves a loader's profile at `url` and each of its libraries from the repository it names,
  // the bytes `jarOf` gives for its coordinate, with a .sha1 beside it. A library whose entry
  // gives its checksum and size has them rewritten to the bytes served. Returns the profile as
  // served.
  std::string ServeProfile(const std::string& url, Json::Value profile,
                           const std::function<std::string(const std::string& coordinate)>& jarOf) const;

  // Serves the game version `id` with a description that starts the game's main class of its
  // client jar `client` on Java 17, its mappings ("mappings of <id>"), and the publisher's
  // version list naming every version served so far. The description's checksum is in the list, as the publisher's is.
  void ServeGameVersion(const std::string& id, const std::string& client);

  // The official source with the publishers' hosts on `mirrorBase` (the China mirror closed),
  // and the China mirror source with the mirror at `mirrorBase` + "/bmclapi" (the publishers
  // closed).
  static DownloadSource Official(const std::string& mirrorBase);
  static DownloadSource ChinaMirror(const std::string& mirrorBase);

 private:
  // Where the file of `url` is served from, below the root.
  std::string ServedPath(const std::string& url) const;

  std::string root_;
  Copy copy_;
  Json::Value versionList_;
};

// Fabric's and Quilt's list for one game version, as their meta gives it: every loader entry of
// `loaders` (an array of {"version", "stable"?...}) as {"loader": entry, "intermediary": ...}.
std::string MetaListForGame(const Json::Value& loaders, const std::string& gameVersion);

// A profile of Quilt's meta for `loaderVersion` and `gameVersion` in its published shape.
Json::Value QuiltProfile(const std::string& loaderVersion, const std::string& gameVersion);

Json::Value ParseJson(const std::string& text);
std::string WriteJson(const Json::Value& value);

}  // namespace kv::test
