#pragma once

#include <string>

#include "install/download_source.h"
#include "loader/install_sink.h"
#include "loader/loader_kind.h"
#include "net/download_engine.h"
#include "util/result.h"

// Installing a loader into the game folder: its version description in versions/, extending
// the game version, and the files it needs.
namespace kv {

struct LoaderInstallRequest {
  std::string gamePath;       // the game folder
  std::string gameVersion;    // the game version the loader extends
  LoaderKind kind = LoaderKind::Fabric;
  std::string loaderVersion;  // as the lists give it (loader_lists.h)
  DownloadOptions downloads{};  // how its files are fetched
  // The Java the player set, for the installer's processors when it fits the game version;
  // empty: one of the machine's runtimes that fits.
  std::string javaPath{};
};

// Installs the loader and returns the id of the description it put in versions/, the version
// an instance of it starts. Fabric and Quilt: their meta's profile of that loader version for
// the game version is the description, saved as published, after the game version's own
// description and the profile's libraries are in place. Forge and NeoForge: their installer
// (installer_install.h). A failure says which step and file failed; the description is then
// not in versions/.
Result<std::string> InstallLoader(const LoaderInstallRequest& request, const DownloadSource& source, InstallSink& sink);

}  // namespace kv
