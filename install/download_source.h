#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/download_source_kind.h"

// Where the game's files come from. Three sources:
// - "official": the game's publisher, each file from the address its document gives (the
//   version list at a fixed address, descriptions from the list, libraries, client, asset
//   index and log configuration from the description, objects from the resources host), with
//   the China mirror as every file's second address;
// - "bmclapi": the China mirror first, by its mapping of the publisher's hosts onto its own,
//   and the publisher's address second;
// - "mirror": the deployment's own mirror in its fixed layout (mirror_layout.h), and nothing
//   else.
namespace kv {

class DownloadSource {
 public:
  // The source the DownloadSource setting names, KORVANE_SOURCE over it; no source, or an
  // unknown name in KORVANE_SOURCE, means the official source. Hosts as configured (endpoints.h).
  static DownloadSource Configured(std::optional<SourceKind> setting);

  // `officialRoot` stands in for the official hosts when not empty (see OfficialRoot()).
  DownloadSource(SourceKind kind, std::string officialRoot, std::string chinaMirrorBase, std::string mirrorBase);

  SourceKind Kind() const { return kind_; }
  bool UsesMirrorLayout() const { return kind_ == SourceKind::Mirror; }
  // The deployment mirror's base, for the mirror layout.
  const std::string& MirrorBase() const { return mirrorBase_; }

  // The addresses to try, in order, for a file the publisher has at `officialUrl`. Only http
  // and https addresses are taken (a document's "file:" address would read the player's own
  // disk): anything else gives none. The official address is fetched through the stand-in
  // root when one is set; a host the China mirror does not carry has no second address. The
  // mirror layout has no such addresses: none.
  std::vector<std::string> Addresses(std::string_view officialUrl) const;

  // The source for files that the mirror layout has no place for (a loader's lists and
  // libraries): this one, or the official source over the same hosts when it uses that layout.
  DownloadSource ForPublishedFiles() const;
  // The address of a document of the China mirror's own (one that stands for no file of a
  // publisher, such as its lists of loader versions): its base + `path`.
  std::string ChinaMirrorUrl(std::string_view path) const;

  // The version list's addresses.
  std::vector<std::string> VersionListAddresses() const;

 private:
  std::string ThroughOfficialRoot(std::string_view url) const;
  std::optional<std::string> OnChinaMirror(std::string_view url) const;

  SourceKind kind_;
  std::string officialRoot_;
  std::string chinaMirrorBase_;
  std::string mirrorBase_;
};

// The publisher's address of the version list.
inline constexpr const char* kOfficialVersionList = "https://piston-meta.mojang.com/mc/game/version_manifest_v2.json";
// The publisher's address of an asset object.
std::string OfficialObjectUrl(std::string_view hash);
// The publisher's address of a library that its description gives no address for.
std::string OfficialLibraryUrl(std::string_view relativePath);

}  // namespace kv
