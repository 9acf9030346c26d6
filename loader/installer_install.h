#pragma once

#include <string>

#include "install/download_source.h"
#include "loader/install_sink.h"
#include "loader/loader_install.h"
#include "util/result.h"

// The loaders whose publishers serve an installer for each build: Forge and NeoForge. The
// installer's profile says what it installs (installer_profile.h); the launcher does that
// itself, running the installer's processors with a Java that fits the game version.
namespace kv {

// Where the publisher serves the installer of a build: Forge's "<game>-<forge>", NeoForge's
// version (its "forge" project for the 1.20.1 builds named "1.20.1-<version>").
std::string InstallerUrl(LoaderKind kind, const std::string& gameVersion, const std::string& loaderVersion);

// InstallLoader for Forge and NeoForge. The installer is fetched (checked against the .sha1
// beside it) into a temporary folder and read there; the description lands in versions/ only
// after every library and processor succeeded.
Result<std::string> InstallFromInstaller(const LoaderInstallRequest& request, const DownloadSource& source,
                                         InstallSink& sink);

}  // namespace kv
