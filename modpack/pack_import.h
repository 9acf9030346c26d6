#pragma once

#include <functional>
#include <string>
#include <vector>

#include "loader/loader_install.h"
#include "net/download_engine.h"
#include "util/result.h"

// Importing a Modrinth pack (.mrpack) as a new instance: its loader installed into the game
// folder, its files fetched and checked, its overrides applied. The instance's folder is put
// together under a temporary name and becomes the instance only once all of that succeeded,
// so a failure leaves no instance behind, nor a half-filled folder under its name.
namespace kv {

struct PackImportRequest {
  std::string packPath;
  std::string name;  // the instance's name; empty: the pack's own
  std::string settingsPath;
  std::string gamePath;
  DownloadOptions downloads{};  // for the loader's files
};

// How the import reaches the network, so that a front end shows the progress its own way.
struct PackImportServices {
  // Installs the loader and returns the id of the version it put in versions/.
  std::function<Result<std::string>(const LoaderInstallRequest& request)> installLoader;
  // The addresses to try, in order, for a file the pack has at `url` (the download source's).
  std::function<std::vector<std::string>(const std::string& url)> addresses;
  // Fetches the planned files; every one in place, or why not.
  std::function<DownloadOutcome(const std::vector<DownloadItem>& plan)> fetch;
};

struct PackImportSummary {
  std::string instanceName;
  std::string version;  // the instance's version: the loader's, or the game's for a pack without one
  int filesFetched = 0;
  int overridesApplied = 0;
  std::vector<std::string> optionalIncluded;    // files the player's side may do without, fetched
  std::vector<std::string> unsupportedSkipped;  // files for servers only, left out
};

// Refused before anything is written when the pack's description is not usable, when one of
// its paths or override entries would lead outside the instance (or is a link), or when the
// name cannot be given to a new instance; failed, naming the step or file, when the loader,
// a file or an override cannot be put in place.
Result<PackImportSummary> ImportPack(const PackImportRequest& request, const PackImportServices& services);

}  // namespace kv
