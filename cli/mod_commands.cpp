#include <cstdio>

#include "cli/cli_commands.h"
#include "mods/mod_view.h"
#include "mods/package_tool.h"
#include "platform/launcher_folder.h"
#include "settings/instance_list.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

// The instance's version, or the reason it has no mods.
int CheckModInstance(const std::string& name, std::string& version) {
  CInstanceList instances(SettingsFilePath(), false);
  if (!instances.Contains(name)) return Fail(msg::kInstanceUnknown);
  version = instances.GetVersion(name);
  if (!GameVersionOf(version)) return Fail(msg::kModsNeedForge);
  return 0;
}

PackageTool Tool() { return PackageTool::ForLauncher(GetExecutableFolder(), SettingsFilePath(), GameFolder()); }

// As opening the mod tab: the catalogue is fetched afresh; when that fails the lists still
// come from what an earlier run fetched.
void InitAsTheModTabDoes(const PackageTool& tool, const std::string& name, const std::string& version) {
  std::string why;
  if (!PkgInit(tool, name, version, &why)) std::fprintf(stderr, "korvane-cli: %s\n", why.c_str());
}

void PrintMod(const std::string& id, const ModExtraInfo& extra, bool installed) {
  std::string authors;
  for (const std::string& author : extra.author) authors += (authors.empty() ? "" : ", ") + author;
  std::printf("%s\t%s\t%s\t%s\n", Printable(id).c_str(), Printable(extra.modchn).c_str(), Printable(authors).c_str(),
              installed ? "已安装" : "未安装");
}

}  // namespace

static int ModsCommand(const Arguments& args) {
  const bool installedOnly = args.size() == 2 && args[1] == "--installed";
  if (args.empty() || args.size() > 2 || (args.size() == 2 && !installedOnly)) return Usage("mods NAME [--installed]");
  std::string version;
  if (int refused = CheckModInstance(args[0], version)) return refused;
  const PackageTool tool = Tool();
  InitAsTheModTabDoes(tool, args[0], version);
  std::string why;
  if (installedOnly) {
    std::vector<InstalledMod> installed;
    if (!PkgList(tool, args[0], installed, &why)) return Fail(why);
    for (const InstalledMod& mod : installed) PrintMod(mod.mod.id, mod.extra, true);
    return 0;
  }
  std::vector<CatalogueMod> catalogue;
  PkgRefreshList(tool, args[0]);
  if (!PkgMatchList(tool, args[0], version, catalogue, &why)) return Fail(why);
  for (const CatalogueMod& mod : catalogue) PrintMod(mod.id, mod.extra, CountsAsInstalled(mod));
  return 0;
}

static int ModInstallCommand(const Arguments& args) {
  if (args.size() != 2) return Usage("mod-install NAME ID");
  std::string version;
  if (int refused = CheckModInstance(args[0], version)) return refused;
  const PackageTool tool = Tool();
  InitAsTheModTabDoes(tool, args[0], version);
  std::string why;
  if (!PkgInstall(tool, args[0], args[1], &why)) return Fail(why);
  PkgRefreshList(tool, args[0]);
  std::printf("已安装 %s\n", Printable(args[1]).c_str());
  return 0;
}

static int ModRemoveCommand(const Arguments& args) {
  if (args.size() != 2) return Usage("mod-remove NAME ID");
  std::string version;
  if (int refused = CheckModInstance(args[0], version)) return refused;
  const PackageTool tool = Tool();
  std::string why;
  if (!PkgUninstall(tool, args[0], args[1], &why)) return Fail(why);
  PkgRefreshList(tool, args[0]);
  std::printf("已删除 %s\n", Printable(args[1]).c_str());
  return 0;
}

namespace {
const CommandRegistration kMods{{80, "mods",
                                 "mods NAME [--installed]  the mods for the instance's Forge version (id, name, authors, "
                                 "installed)",
                                 ModsCommand}};
const CommandRegistration kModInstall{
    {81, "mod-install", "mod-install NAME ID      install a mod into the instance's mods folder", ModInstallCommand}};
const CommandRegistration kModRemove{
    {82, "mod-remove", "mod-remove NAME ID       remove a mod the instance has installed", ModRemoveCommand}};
}  // namespace

}  // namespace kv::cli
