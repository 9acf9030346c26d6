#pragma once

#include <functional>
#include <string>
#include <vector>

#include "install/download_source.h"
#include "loader/loader_kind.h"
#include "loader/loader_version.h"
#include "util/result.h"

// The versions of each loader that exist for a game version, from its publisher or the China
// mirror, as the download source says.
namespace kv {

using LoaderVersionList = Result<std::vector<LoaderVersion>>;

// The versions of `kind` for `gameVersion`, newest stable first, Forge's recommended marked.
// From the publisher's list (Fabric's and Quilt's meta, Forge's maven-metadata.xml with its
// promotions, NeoForge's Maven API: its "forge" artifact for 1.20.1, "neoforge" otherwise),
// the China mirror as its second address where it has the path; under the China mirror
// source, the mirror's own list first. An empty list when the loader has no build for that game
// version (a list that names none, or an address that has no such list). A failure, saying
// which loader's list could not be had and why, when no address answered with a list.
LoaderVersionList FetchLoaderVersions(LoaderKind kind, const std::string& gameVersion, const DownloadSource& source);

struct LoaderChoices {
  LoaderKind kind;
  LoaderVersionList versions;
};

// Every kind's list through `fetch`, all at once, in the order of kLoaderKinds.
std::vector<LoaderChoices> FetchEveryLoaderList(const std::function<LoaderVersionList(LoaderKind)>& fetch);

}  // namespace kv
