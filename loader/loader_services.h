#pragma once

#include <functional>
#include <string>

#include "loader/install_sink.h"
#include "loader/loader_install.h"
#include "loader/loader_lists.h"

// What a front end needs to offer and install loaders; tests put stand-ins in their place.
namespace kv {

struct LoaderServices {
  std::function<LoaderVersionList(LoaderKind kind, const std::string& gameVersion)> listVersions;
  std::function<Result<std::string>(const LoaderInstallRequest& request, InstallSink& sink)> install;

  // FetchLoaderVersions and InstallLoader through the download source that the settings file
  // at `settingsPath` names when they are called; the installation with the Java it names.
  static LoaderServices Configured(std::string settingsPath);
};

}  // namespace kv
