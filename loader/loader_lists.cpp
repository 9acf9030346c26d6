#include "loader/loader_lists.h"

#include <future>
#include <optional>
#include <system_error>

#include "loader/list_documents.h"
#include "loader/meta_addresses.h"
#include "net/transfers.h"
#include "net/url_encoding.h"
#include "util/messages.h"

namespace kv {
namespace {

// Bounds on what a list may weigh: Fabric's meta repeats the libraries with every version,
// which comes to about a megabyte today.
constexpr std::size_t kListLimit = 8 * 1024 * 1024;
constexpr std::size_t kPromotionsLimit = 1024 * 1024;

using Reader = std::function<std::optional<std::vector<LoaderVersion>>(std::string_view text)>;

// One document that lists the versions, at the addresses that serve it, in order.
struct ListDocument {
  std::vector<std::string> urls;
  Reader read;
};

// The first of the documents that an address gives readably. Where none does, an address
// that answered with something else than a list is the failure; else one that said it has no
// such list (404) means there is no build; else the first failure stands.
LoaderVersionList FetchFirstReadable(LoaderKind kind, const std::vector<ListDocument>& documents) {
  const std::string loader(LoaderDisplayName(kind));
  std::optional<Failure> unreadable;
  std::optional<Failure> failure;
  bool noSuchList = false;
  for (const ListDocument& document : documents) {
    for (const std::string& url : document.urls) {
      Result<std::string> text = FetchDocument(url, kListLimit);
      if (text) {
        if (std::optional<std::vector<LoaderVersion>> versions = document.read(*text)) return std::move(*versions);
        if (!unreadable) unreadable = Fail(FailureKind::Invalid, msg::LoaderListUnreadable(loader, url));
      } else if (text.kind() == FailureKind::NotFound) {
        noSuchList = true;
      } else if (!failure) {
        failure = Fail(text.kind(), msg::LoaderListFailed(loader, text.message()));
      }
    }
  }
  if (unreadable) return std::move(*unreadable);
  if (noSuchList || !failure) return std::vector<LoaderVersion>{};
  return std::move(*failure);
}

constexpr const char* kForgeMavenMetadata = "https://maven.minecraftforge.net/net/minecraftforge/forge/maven-metadata.xml";
constexpr const char* kForgePromotions = "https://files.minecraftforge.net/net/minecraftforge/forge/promotions_slim.json";

LoaderVersionList FetchForgeVersions(const std::string& gameVersion, const DownloadSource& source) {
  std::vector<ListDocument> documents;
  if (source.Kind() == SourceKind::ChinaMirror) {
    documents.push_back({{source.ChinaMirrorUrl("/forge/minecraft/" + EncodePathSegment(gameVersion))},
                         [gameVersion](std::string_view text) { return ReadMirrorForgeList(text, gameVersion); }});
  }
  documents.push_back({source.Addresses(kForgeMavenMetadata),
                       [gameVersion](std::string_view text) { return ReadForgeMavenMetadata(text, gameVersion); }});
  LoaderVersionList versions = FetchFirstReadable(LoaderKind::Forge, documents);
  if (!versions || versions->empty()) return versions;
  // Without the promotions the list stands as it is, only unmarked.
  for (const std::string& url : source.Addresses(kForgePromotions)) {
    const Result<std::string> promotions = FetchDocument(url, kPromotionsLimit);
    if (!promotions) continue;
    if (const std::optional<std::string> recommended = ReadForgeRecommended(*promotions, gameVersion)) {
      for (LoaderVersion& version : *versions) version.recommended = version.id == *recommended;
    }
    break;
  }
  return versions;
}

LoaderVersionList FetchNeoForgeVersions(const std::string& gameVersion, const DownloadSource& source) {
  std::vector<ListDocument> documents;
  if (source.Kind() == SourceKind::ChinaMirror) {
    documents.push_back({{source.ChinaMirrorUrl("/neoforge/list/" + EncodePathSegment(gameVersion))}, ReadMirrorNeoForgeList});
  }
  // NeoForge's builds for 1.20.1 are published under the name of the project it came from.
  const bool firstLine = gameVersion == "1.20.1";
  const std::optional<std::string> prefix = firstLine ? gameVersion + "-" : NeoForgeVersionPrefix(gameVersion);
  if (prefix) {
    const std::string api = std::string("https://maven.neoforged.net/api/maven/versions/releases/net/neoforged/") +
                            (firstLine ? "forge" : "neoforge");
    documents.push_back(
        {source.Addresses(api), [prefix](std::string_view text) { return ReadNeoForgeVersions(text, *prefix); }});
  }
  return FetchFirstReadable(LoaderKind::NeoForge, documents);
}

}  // namespace

LoaderVersionList FetchLoaderVersions(LoaderKind kind, const std::string& gameVersion, const DownloadSource& source) {
  // The mirror layout has no place for loaders: they come from their publishers.
  const DownloadSource publishers = source.ForPublishedFiles();
  LoaderVersionList versions = std::vector<LoaderVersion>{};
  switch (kind) {
    case LoaderKind::Fabric:
    case LoaderKind::Quilt:
      versions = FetchFirstReadable(kind, {{publishers.Addresses(MetaLoaderListUrl(kind, gameVersion)), ReadMetaLoaderList}});
      break;
    case LoaderKind::Forge:
      versions = FetchForgeVersions(gameVersion, publishers);
      break;
    case LoaderKind::NeoForge:
      versions = FetchNeoForgeVersions(gameVersion, publishers);
      break;
  }
  if (versions) OrderNewestStableFirst(*versions);
  return versions;
}

std::vector<LoaderChoices> FetchEveryLoaderList(const std::function<LoaderVersionList(LoaderKind)>& fetch) {
  std::vector<std::future<LoaderVersionList>> pending;
  for (LoaderKind kind : kLoaderKinds) {
    try {
      pending.push_back(std::async(std::launch::async, fetch, kind));
    } catch (const std::system_error&) {
      // No thread to spare: this one is fetched in turn below.
      pending.emplace_back();
    }
  }
  std::vector<LoaderChoices> lists;
  for (std::size_t i = 0; i < kLoaderKinds.size(); ++i) {
    lists.push_back({kLoaderKinds[i], pending[i].valid() ? pending[i].get() : fetch(kLoaderKinds[i])});
  }
  return lists;
}

}  // namespace kv
