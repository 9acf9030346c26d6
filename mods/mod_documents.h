#pragma once

#include <string>
#include <string_view>
#include <vector>

// The two documents the package tool leaves in an instance's ".qrx/.info" folder: the
// catalogue of mods for the instance's game version ("Matchmod.info", key "allmodlist") and
// the mods installed in the instance ("InstalledMod.info", key "installmodlist"). Every leaf
// value is text: a JSON string, or true/false as "true"/"false"; null and absent keys read as
// empty text.
namespace kv {

struct ModBranch {
  std::string branch;
  std::string mcversion;
};

struct ModExtraInfo {
  std::vector<std::string> author;
  std::string modtype;
  std::string modchn;
  std::string icon;  // a file name in the instance's ".qrx/.cache" folder
};

struct CatalogueMod {
  std::string id;
  std::string installed;  // counts as installed when it contains "true"
  std::vector<ModBranch> branches;
  ModExtraInfo extra;
};

struct ModRef {
  std::string id;
  std::string branch;
  std::string version;
  std::string variant;
};

struct InstalledFile {
  std::string from;
  std::string to;
  std::string md5;
};

struct InstalledMod {
  ModRef mod;
  ModBranch branch;
  std::vector<InstalledFile> installs;  // at "installs.installs" in the document
  ModExtraInfo extra;
};

// Fill `mods` from the document's text and return true; return false and leave `mods` as it
// was for empty text, text that is not JSON, a root that is not an object, an element or a
// nested record that is a string, number, boolean or null, and a number, array or object where
// text belongs. A list key that is absent or not an array gives an empty list; so do the
// nested lists (branches, authors, files), and a record that is an array has no fields, so
// that an element without any of the keys is still a record.
bool ParseCatalogue(std::string_view text, std::vector<CatalogueMod>& mods);
bool ParseInstalledList(std::string_view text, std::vector<InstalledMod>& mods);

// The documents as the package tool writes them: UTF-8 JSON, every value a string. The
// catalogue, which can hold a great many mods, without indentation.
std::string WriteCatalogue(const std::vector<CatalogueMod>& mods);
std::string WriteInstalledList(const std::vector<InstalledMod>& mods);

}  // namespace kv
