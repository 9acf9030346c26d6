#pragma once

#include <functional>
#include <string>
#include <vector>

#include "install/download_source.h"
#include "meta/asset_index.h"
#include "meta/version_description.h"
#include "net/download_item.h"
#include "platform/platform_profile.h"

// Planning the files of a version that the game folder still needs. Everything runs on the
// caller's thread.
namespace kv {

// Every member has a default, so that a caller names only what it sets.
struct PlanOptions {
  const PlatformProfile& profile = PlatformProfile::Host();
  int bitness = 64;
  std::string osVersion{};    // what library rules compare os.version with
  bool legacyAssets = false;  // the legacy asset tree, decided once for a launch
  bool verify = false;        // check the SHA-1 of every present file whose checksum is known
  // For a library that a Maven repository serves and its description gives no checksum for:
  // the checksum the repository publishes beside the file at one of these addresses, or empty
  // when none answers. Not asked when unset.
  std::function<std::string(const std::vector<std::string>& fileUrls)> publishedChecksum{};
};

// The files of the version that are not in place, in this order: the libraries the profile
// uses (native ones as archives to unpack beside the jar, their excluded names carried), the
// client jar, the log configuration, then the legacy asset archive (the mirror layout with
// `legacyAssets`) or the asset objects. A file is in place when something of its name exists
// and, where the description gives its size, a regular file has that size; with `verify` also
// its SHA-1 where that is known (an object's is its name). Each item carries the addresses of
// the source, the described size and the SHA-1. A library coordinate, path, client id, log
// configuration name or asset hash that could name a path outside its folder is left out
// (and logged); so is a second object with a hash already planned.
std::vector<DownloadItem> PlanDownloads(const std::string& gamePath, const VersionDescription& description,
                                        const AssetIndex& assets, const DownloadSource& source,
                                        const PlanOptions& options);

// The libraries of PlanDownloads alone, planned the same way: what a loader's installation
// fetches before its description is in place.
std::vector<DownloadItem> PlanLibraryDownloads(const std::string& gamePath, const VersionDescription& description,
                                               const DownloadSource& source, const PlanOptions& options);

// The checksum a Maven repository publishes beside a file: from the first of the files'
// addresses + ".sha1" that answers with 40 hexadecimal digits (what follows them, such as a
// file name, is left aside); empty when none does. For PlanOptions::publishedChecksum.
std::string FetchPublishedChecksum(const std::vector<std::string>& fileUrls);

// The client jar of a version made from another's ("jar"; a version that extends another gets
// its parent's client): when the version's own jar is missing and the other version's jar is
// on disk with the described size, it is copied. The copy, not the download, comes first.
void ProvideClientJar(const std::string& gamePath, const VersionDescription& description);

}  // namespace kv
