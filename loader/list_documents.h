#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "loader/loader_version.h"

// The documents in which the publishers and the China mirror list a loader's versions. Each
// reader takes the document's bytes and gives the versions it names for one game version, in
// the document's order, or nothing when the bytes are not a document of its kind. Ids that
// could not stand in a file name or an address are left out.
namespace kv {

// Fabric's and Quilt's meta for one game version ("/versions/loader/<game>"): an array of
// objects whose "loader" names the "version" and, for Fabric, whether it is "stable". Without
// that flag a version is stable unless its id carries a pre-release mark.
std::optional<std::vector<LoaderVersion>> ReadMetaLoaderList(std::string_view text);

// Forge's maven-metadata.xml: every "<version>" of the form "<game>-<forge>" gives <forge>.
std::optional<std::vector<LoaderVersion>> ReadForgeMavenMetadata(std::string_view xml, std::string_view gameVersion);

// Forge's promotions_slim.json: the build its "promos" recommend for the game version
// ("<game>-recommended"); nothing when the document names none or is not one.
std::optional<std::string> ReadForgeRecommended(std::string_view text, std::string_view gameVersion);

// The China mirror's Forge list for one game version ("/forge/minecraft/<game>"): an array of
// objects with "version" and "mcversion"; entries of another game version are left out.
std::optional<std::vector<LoaderVersion>> ReadMirrorForgeList(std::string_view text, std::string_view gameVersion);

// NeoForge's Maven API ("/api/maven/versions/releases/<group>/<artifact>"): an object whose
// "versions" lists every version; those that begin with `prefix` are taken. Stable unless they
// carry a pre-release mark.
std::optional<std::vector<LoaderVersion>> ReadNeoForgeVersions(std::string_view text, std::string_view prefix);

// The China mirror's NeoForge list for one game version ("/neoforge/list/<game>"): an array of
// objects whose "installerPath" names the Maven version (".../<project>/<version>/..."), which
// is the id, as NeoForge's own list gives it; "version" where the path names none.
std::optional<std::vector<LoaderVersion>> ReadMirrorNeoForgeList(std::string_view text);

// Where NeoForge's versions for a game version begin: "1.21.1" has "21.1.", "1.21" has "21.0.";
// a game version without the leading "1." has its own first three parts ("26.1" has "26.1.0.").
// Nothing for an id that is not made of numbers (a snapshot).
std::optional<std::string> NeoForgeVersionPrefix(std::string_view gameVersion);

}  // namespace kv
