#pragma once

#include <string>
#include <string_view>
#include <vector>

// The network services the launcher talks to. Each has a built-in address, and each can be
// pointed elsewhere by an environment variable, so that tests, demos and deployments can use
// their own mirror or account service. Values are read on every call.
namespace kv {

// The download mirror, without a trailing slash (KORVANE_MIRROR).
std::string MirrorBase();

// The download source a player's setting names, when the environment names another
// (KORVANE_SOURCE): "official", "bmclapi" or "mirror". Empty when it names none.
std::string DownloadSourceOverride();

// Where the official hosts are stood in for (KORVANE_OFFICIAL_ROOT), without a trailing slash:
// an address https://HOST/PATH is then fetched from root + "/HOST/PATH". Empty: the hosts
// themselves.
std::string OfficialRoot();

// Where an official address "https://HOST/PATH" is fetched from: "<root>/HOST/PATH" when
// `root` is not empty, else the address itself.
std::string AddressUnderRoot(std::string_view root, std::string_view url);
// The same under the configured stand-in (OfficialRoot()).
std::string OfficialAddress(std::string_view url);

// The China mirror's base (KORVANE_BMCLAPI_ROOT), without a trailing slash.
std::string ChinaMirrorBase();

// The address of the account server, without a trailing slash: KORVANE_AUTH_SERVER when it is
// set and not empty, else `setting` (the AuthServer setting) when not empty, else the built-in
// service.
std::string AccountServerAddress(const std::string& setting);

// Where the release index of the account-server agent (authlib-injector) is asked, in this
// order: KORVANE_AUTHLIB_INJECTOR_URL alone when it is set and not empty; otherwise the
// distribution's own root and its China mirror, the mirror first when the game's files come
// from the China mirror first. Each root is given without a trailing slash.
std::vector<std::string> AgentDistributionRoots(bool chinaMirrorFirst);

// The maker's download server that publishes the launcher's version file
// (KORVANE_UPDATE_SERVER), without a trailing slash.
std::string UpdateServerBase();

// The analytics service that statistics events go to (KORVANE_STATS_URL), without a trailing
// slash. Empty by default: no statistics are sent unless a deployment configures a service.
std::string StatsServiceBase();

// The launcher's site id at that service (KORVANE_STATS_SITE).
std::string StatsSiteId();

// The maker's site, sent as the referer of a statistics event.
std::string ClientSiteUrl();

// The catalogue base handed to the package tool, the whole address of the catalogue's folder
// with its trailing slash, ".../allmod/" (KORVANE_CATALOGUE).
std::string CatalogueBase();

// An extra file of trusted CA certificates (PEM) for HTTPS, next to the system's store
// (KORVANE_CA_BUNDLE). Empty when none is configured.
std::string ExtraCaBundle();

}  // namespace kv
