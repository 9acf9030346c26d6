#include "install/download_source.h"

#include <utility>

#include "install/mirror_layout.h"
#include "net/endpoints.h"
#include "net/url_encoding.h"
#include "platform/diagnostic_log.h"

namespace kv {
namespace {

// The publisher's hosts and where the China mirror keeps what they serve.
struct HostMapping {
  std::string_view host;
  std::string_view onMirror;  // the path below the mirror's base that stands for the host
};
constexpr HostMapping kChinaMirrorHosts[] = {
    {"piston-meta.mojang.com", ""},       {"launchermeta.mojang.com", ""},
    {"piston-data.mojang.com", ""},       {"launcher.mojang.com", ""},
    {"libraries.minecraft.net", "/maven"}, {"resources.download.minecraft.net", "/assets"},
    {"maven.minecraftforge.net", "/maven"}, {"files.minecraftforge.net/maven", "/maven"},
    {"maven.fabricmc.net", "/maven"},       {"meta.fabricmc.net", "/fabric-meta"},
    {"maven.quiltmc.org/repository/release", "/maven"}, {"meta.quiltmc.org", "/quilt-meta"},
    {"maven.neoforged.net/releases", "/maven"},
};

// The part after "http://" or "https://"; nothing for any other scheme.
std::optional<std::string_view> AfterScheme(std::string_view url) {
  for (std::string_view scheme : {"https://", "http://"}) {
    if (url.substr(0, scheme.size()) == scheme) return url.substr(scheme.size());
  }
  return std::nullopt;
}

}  // namespace

DownloadSource DownloadSource::Configured(std::optional<SourceKind> setting) {
  const std::string override = DownloadSourceOverride();
  std::optional<SourceKind> kind = override.empty() ? setting : ParseSourceKind(override);
  if (!kind && !override.empty()) {
    LogLine(LogLevel::Warning, "Unknown download source \"" + override + "\"; using official");
  }
  return DownloadSource(kind.value_or(SourceKind::Official), OfficialRoot(), ChinaMirrorBase(), kv::MirrorBase());
}

DownloadSource::DownloadSource(SourceKind kind, std::string officialRoot, std::string chinaMirrorBase,
                               std::string mirrorBase)
    : kind_(kind),
      officialRoot_(std::move(officialRoot)),
      chinaMirrorBase_(std::move(chinaMirrorBase)),
      mirrorBase_(std::move(mirrorBase)) {}

std::string DownloadSource::ThroughOfficialRoot(std::string_view url) const {
  return AddressUnderRoot(officialRoot_, url);
}

std::optional<std::string> DownloadSource::OnChinaMirror(std::string_view url) const {
  const std::string_view rest = *AfterScheme(url);
  for (const HostMapping& mapping : kChinaMirrorHosts) {
    if (rest.substr(0, mapping.host.size()) != mapping.host) continue;
    const std::string_view path = rest.substr(mapping.host.size());
    if (!path.empty() && path.front() != '/') continue;  // another host that merely begins alike
    return chinaMirrorBase_ + std::string(mapping.onMirror) + std::string(path);
  }
  return std::nullopt;
}

std::vector<std::string> DownloadSource::Addresses(std::string_view officialUrl) const {
  if (UsesMirrorLayout() || !AfterScheme(officialUrl)) return {};
  std::vector<std::string> addresses{ThroughOfficialRoot(officialUrl)};
  if (std::optional<std::string> mirrored = OnChinaMirror(officialUrl)) {
    if (kind_ == SourceKind::ChinaMirror) addresses.insert(addresses.begin(), *mirrored);
    else addresses.push_back(*mirrored);
  }
  return addresses;
}

DownloadSource DownloadSource::ForPublishedFiles() const {
  if (!UsesMirrorLayout()) return *this;
  return DownloadSource(SourceKind::Official, officialRoot_, chinaMirrorBase_, mirrorBase_);
}

std::string DownloadSource::ChinaMirrorUrl(std::string_view path) const { return chinaMirrorBase_ + std::string(path); }

std::vector<std::string> DownloadSource::VersionListAddresses() const {
  if (UsesMirrorLayout()) return {VersionListUrl(mirrorBase_)};
  return Addresses(kOfficialVersionList);
}

std::string OfficialObjectUrl(std::string_view hash) {
  return "https://resources.download.minecraft.net/" + std::string(hash.substr(0, 2)) + "/" + std::string(hash);
}

std::string OfficialLibraryUrl(std::string_view relativePath) {
  return "https://libraries.minecraft.net/" + EncodePath(relativePath);
}

}  // namespace kv
