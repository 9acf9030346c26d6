#pragma once

#include <string>
#include <vector>

#include "tools/qrx/instance_place.h"

// The five commands of qrx, each on one instance. A command either does all of its work or
// changes nothing the launcher reads: the result files are replaced whole, and files reach
// the mods folder, or leave it, only once everything they depend on has succeeded.
namespace kv::qrx {

struct CommandResult {
  bool ok = true;
  std::vector<std::string> lines;  // what happened, for whoever reads the output
  std::string failure;             // why it failed
};

// Fetches the catalogue from `catalogueBase` (".../allmod/") and the icons of the mods offered
// for `gameVersion`, and remembers both for the other commands. Never fetches a mod's files.
CommandResult Init(const InstancePlace& place, const std::string& catalogueBase, const std::string& gameVersion);

// Writes Matchmod.info: the Forge and NeoForge mods of the catalogue offered for `gameVersion`,
// one entry per id in catalogue order, each marked installed or not.
CommandResult MatchList(const InstancePlace& place, const std::string& gameVersion);

// Writes InstalledMod.info afresh from the record of installed mods.
CommandResult List(const InstancePlace& place);

// Downloads the files of mod `id` for the game version given to init, checks each against
// the catalogue's size and MD5, and only then places them in the mods folder under their
// published names and records them. A mod that is installed stays as it is.
CommandResult Install(const InstancePlace& place, const std::string& id);

// Removes the files the installation of `id` placed (those still as they were placed) and
// its record. Fails for a mod that is not installed, and for a record that names a file
// outside the mods folder.
CommandResult Uninstall(const InstancePlace& place, const std::string& id);

}  // namespace kv::qrx
