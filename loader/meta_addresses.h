#pragma once

#include <string>
#include <string_view>

#include "loader/loader_kind.h"

// Where Fabric's and Quilt's meta serve their documents; other kinds have no meta.
namespace kv {

// The loader versions for a game version: "<meta>/versions/loader/<game>".
std::string MetaLoaderListUrl(LoaderKind kind, std::string_view gameVersion);
// The description of one of them: "<meta>/versions/loader/<game>/<loader>/profile/json".
std::string MetaProfileUrl(LoaderKind kind, std::string_view gameVersion, std::string_view loaderVersion);

}  // namespace kv
