#include "tests/tools/mod_jars.h"

#include "tests/net/zip_maker.h"

namespace kv::test {

std::string OldModIcon() { return "\x89PNG old mod icon"; }
std::string TechModIcon() { return "\x89PNG tech mod icon"; }

void MakeModJars(const std::string& folder) {
  MakeZip(folder + "oldmod-1.0.jar",
          {{"mcmod.info", R"({"modListVersion": 2, "modList": [{"modid": "oldmod", "name": "Old Mod",
              "version": "1.0", "mcversion": "1.7.10", "authorList": ["A", "B"], "logoFile": "/assets/logo.png"}]})"},
           {"assets/logo.png", OldModIcon()},
           {"net/old/Mod.class", "code"}});
  MakeZip(folder + "Tech Mod 2.0.jar",
          {{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\nImplementation-Version: 2.0\r\n"},
           {"META-INF/mods.toml", R"toml(modLoader="javafml"
loaderVersion="[10,)"
license="MIT"
[[mods]]
modId="techmod"
version="${file.jarVersion}"
displayName="科技 Mod"
authors="甲, 乙"
logoFile="techmod.png"
description='''Machines.'''
[[dependencies.techmod]]
modId="forge"
mandatory=true
versionRange="[10.13,)"
[[dependencies.techmod]]
modId="minecraft"
mandatory=true
versionRange="[1.7.10,1.8)"
)toml"},
           {"techmod.png", TechModIcon()}});
  MakeZip(folder + "neo.jar", {{"META-INF/mods.toml", R"toml(modLoader="javafml"
[[mods]]
modId="neomod"
version="3.1"
[[dependencies.neomod]]
modId="neoforge"
type="required"
versionRange="[20.4,)"
[[dependencies.neomod]]
modId="minecraft"
type="required"
versionRange="[1.20.1,1.21)"
)toml"}});
  MakeZip(folder + "fab.jar", {{"fabric.mod.json", R"({"schemaVersion": 1, "id": "fabmod", "version": "0.5",
              "authors": ["Q", {"name": "R"}], "icon": {"16": "small.png", "128": "big.png"},
              "depends": {"minecraft": ">=1.7.10"}})"},
                               {"small.png", "small"},
                               {"big.png", "big"}});
  MakeZip(folder + "plain.jar", {{"org/lib/Lib.class", "library"}});
}

}  // namespace kv::test
