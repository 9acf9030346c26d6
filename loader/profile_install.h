#pragma once

#include <string>

#include "install/download_source.h"
#include "loader/install_sink.h"
#include "loader/loader_install.h"
#include "util/result.h"

// The loaders whose publishers serve a ready version description for each loader and game
// version ("profile/json"): Fabric and Quilt.
namespace kv {

// InstallLoader for Fabric and Quilt.
Result<std::string> InstallFromProfile(const LoaderInstallRequest& request, const DownloadSource& source,
                                       InstallSink& sink);

}  // namespace kv
