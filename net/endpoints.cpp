#include "net/endpoints.h"

#include <cstdlib>

#include "net/url_encoding.h"

namespace kv {
namespace {

// The built-in services. A deployment that runs its own replaces them at build time or
// points the environment variables at them.
// The mirror layout's documents carry no checksums, so whoever answers for the mirror chooses
// the code the game runs: it is asked over HTTPS, which the mirror serves, never in the clear.
constexpr const char* kMirror = "https://mirror.korvane.org";
constexpr const char* kAuthServer = "https://auth.korvane.org";
constexpr const char* kUpdateServer = "http://download.korvane.org";
constexpr const char* kClientSite = "http://www.korvane.org";
constexpr const char* kCatalogue = "http://mods.korvane.org/allmod/";
constexpr const char* kStatsSiteId = "1";
// The account-server agent's distribution and the China mirror's copy of it.
constexpr const char* kAgentDistribution = "https://authlib-injector.yushi.moe";
constexpr const char* kChinaMirror = "https://bmclapi2.bangbang93.com";

std::string FromEnvironment(const char* variable, const char* builtIn) {
  const char* value = std::getenv(variable);
  return value != nullptr ? std::string(value) : std::string(builtIn);
}

// A variable that counts only when it holds something.
std::string FromEnvironmentUnlessEmpty(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::string MirrorBase() { return WithoutTrailingSlash(FromEnvironment("KORVANE_MIRROR", kMirror)); }

std::string DownloadSourceOverride() { return FromEnvironment("KORVANE_SOURCE", ""); }

std::string OfficialRoot() { return WithoutTrailingSlash(FromEnvironment("KORVANE_OFFICIAL_ROOT", "")); }

std::string AddressUnderRoot(std::string_view root, std::string_view url) {
  if (root.empty()) return std::string(url);
  for (std::string_view scheme : {"https://", "http://"}) {
    if (url.substr(0, scheme.size()) == scheme) url.remove_prefix(scheme.size());
  }
  return std::string(root) + "/" + std::string(url);
}

std::string OfficialAddress(std::string_view url) { return AddressUnderRoot(OfficialRoot(), url); }

std::string ChinaMirrorBase() { return WithoutTrailingSlash(FromEnvironment("KORVANE_BMCLAPI_ROOT", kChinaMirror)); }

std::string AccountServerAddress(const std::string& setting) {
  std::string address = FromEnvironmentUnlessEmpty("KORVANE_AUTH_SERVER");
  if (address.empty()) address = setting;
  if (address.empty()) address = kAuthServer;
  return WithoutTrailingSlash(address);
}

std::vector<std::string> AgentDistributionRoots(bool chinaMirrorFirst) {
  const std::string configured = FromEnvironmentUnlessEmpty("KORVANE_AUTHLIB_INJECTOR_URL");
  if (!configured.empty()) return {WithoutTrailingSlash(configured)};
  const std::string mirror = ChinaMirrorBase() + "/mirrors/authlib-injector";
  if (chinaMirrorFirst) return {mirror, kAgentDistribution};
  return {kAgentDistribution, mirror};
}

std::string UpdateServerBase() {
  return WithoutTrailingSlash(FromEnvironment("KORVANE_UPDATE_SERVER", kUpdateServer));
}

std::string StatsServiceBase() { return WithoutTrailingSlash(FromEnvironment("KORVANE_STATS_URL", "")); }

std::string StatsSiteId() { return FromEnvironment("KORVANE_STATS_SITE", kStatsSiteId); }

std::string ClientSiteUrl() { return kClientSite; }

std::string CatalogueBase() { return FromEnvironment("KORVANE_CATALOGUE", kCatalogue); }

std::string ExtraCaBundle() { return FromEnvironment("KORVANE_CA_BUNDLE", ""); }

}  // namespace kv
