#include "net/endpoints.h"

#include <cstdlib>

namespace kv {
namespace {

// The built-in services. A deployment that runs its own replaces them at build time or
// points the environment variables at them.
constexpr const char* kMirror = "http://mirror.korvane.org";
constexpr const char* kAuthServer = "https://auth.korvane.org";
constexpr const char* kUpdateServer = "http://download.korvane.org";
constexpr const char* kClientSite = "http://www.korvane.org";
constexpr const char* kCatalogue = "http://mods.korvane.org/allmod/";
constexpr const char* kStatsSiteId = "1";
// The China mirror of the game's files (BMCLAPI).
constexpr const char* kChinaMirror = "https://bmclapi2.bangbang93.com";

std::string FromEnvironment(const char* variable, const char* builtIn) {
  const char* value = std::getenv(variable);
  return value != nullptr ? std::string(value) : std::string(builtIn);
}

// A base to which paths starting with "/" are appended.
std::string WithoutTrailingSlash(std::string base) {
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base;
}

}  // namespace

std::string MirrorBase() { return WithoutTrailingSlash(FromEnvironment("KORVANE_MIRROR", kMirror)); }

std::string DownloadSourceOverride() { return FromEnvironment("KORVANE_SOURCE", ""); }

std::string OfficialRoot() { return WithoutTrailingSlash(FromEnvironment("KORVANE_OFFICIAL_ROOT", "")); }

std::string ChinaMirrorBase() { return WithoutTrailingSlash(FromEnvironment("KORVANE_BMCLAPI_ROOT", kChinaMirror)); }

std::string AuthServerBase() {
  return WithoutTrailingSlash(FromEnvironment("KORVANE_AUTH_SERVER", kAuthServer));
}

std::string AuthenticateUrl() { return AuthServerBase() + "/authenticate"; }

std::string UpdateServerBase() {
  return WithoutTrailingSlash(FromEnvironment("KORVANE_UPDATE_SERVER", kUpdateServer));
}

std::string StatsServiceBase() { return WithoutTrailingSlash(FromEnvironment("KORVANE_STATS_URL", "")); }

std::string StatsSiteId() { return FromEnvironment("KORVANE_STATS_SITE", kStatsSiteId); }

std::string ClientSiteUrl() { return kClientSite; }

std::string CatalogueBase() { return FromEnvironment("KORVANE_CATALOGUE", kCatalogue); }

std::string ExtraCaBundle() { return FromEnvironment("KORVANE_CA_BUNDLE", ""); }

}  // namespace kv
