#pragma once

#include <string>

// Mod jars as their loaders' build tools make them, for the tests of the catalogue builder and
// the package tool. Link kv_test_mirror (the zip writer) to use them.
namespace kv::test {

// Writes into `folder`:
//   "oldmod-1.0.jar"      mcmod.info in its {"modList": [...]} form: oldmod 1.0 for 1.7.10,
//                         authors A and B, an icon;
//   "Tech Mod 2.0.jar"    META-INF/mods.toml of Forge: techmod, version from the manifest
//                         (2.0), minecraft [1.7.10,1.8), authors "甲, 乙", an icon;
//   "neo.jar"             META-INF/mods.toml with a neoforge dependency: neomod for
//                         [1.20.1,1.21);
//   "fab.jar"             fabric.mod.json: fabmod for >=1.7.10, icons by size;
//   "plain.jar"           a library without any mod metadata.
void MakeModJars(const std::string& folder);

// The icon bytes of the mcmod.info jar and of the mods.toml jar.
std::string OldModIcon();
std::string TechModIcon();

}  // namespace kv::test
