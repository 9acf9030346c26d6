#include <cstdio>

#include "cli/cli_commands.h"
#include "mods/mod_view.h"
#include "mods/package_tool.h"
#include "platform/launcher_folder.h"
#include "settings/instance_list.h"
#include "util/messages.h"

namespace kv::cli {
namespace {

constexpr const char* kModsUsage = "mods NAME [--installed]";
constexpr const char* kModInstallUsage = "mod-install NAME ID";
constexpr const char* kModRemoveUsage = "mod-remove NAME ID";

// The instance's version, or the reason it has no mods.
int CheckModInstance(const std::string& name, std::string& version) {
  CInstanceList instances(SettingsFilePath(), false);
  if (!instances.Contains(name)) return Fail(msg::InstanceUnknown(Printable(name)));
  version = instances.GetVersion(name);
  if (!GameVersionOf(version)) return Fail(msg::kModsNeedForge);
  return 0;
}

PackageTool Tool() { return PackageTool::ForLauncher(GetExecutableFolder(), SettingsFilePath(), GameFolder()); }

// As opening the mod tab: the catalogue is fetched afresh; when that fails the lists still
// come from what an earlier run fetched.
void InitAsTheModTabDoes(const PackageTool& tool, const std::string& name, const std::string& version) {
  std::string why;
  if (!PkgInit(tool, name, version, &why)) Note(why);
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
  if (args.empty() || args.size() > 2 || (args.size() == 2 && !installedOnly)) return Usage(kModsUsage);
  std::string version;
  if (int refused = CheckModInstance(args[0], version)) return refused;
  const PackageTool tool = Tool();
  InitAsTheModTabDoes(tool, args[0], version);
  std::string why;
  if (installedOnly) {
    std::vector<InstalledMod> installed;
    if (!PkgList(tool, args[0], installed, &why)) return Fail(why);
    if (installed.empty()) Note("游戏实例 " + Printable(args[0]) + " 还没有安装 Mod");
    for (const InstalledMod& mod : installed) PrintMod(mod.mod.id, mod.extra, true);
    return 0;
  }
  std::vector<CatalogueMod> catalogue;
  PkgRefreshList(tool, args[0]);
  if (!PkgMatchList(tool, args[0], version, catalogue, &why)) return Fail(why);
  if (catalogue.empty()) Note("Mod 目录中没有适用于版本 " + Printable(version) + " 的 Mod");
  for (const CatalogueMod& mod : catalogue) PrintMod(mod.id, mod.extra, CountsAsInstalled(mod));
  return 0;
}

static int ModInstallCommand(const Arguments& args) {
  if (args.size() != 2) return Usage(kModInstallUsage);
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
  if (args.size() != 2) return Usage(kModRemoveUsage);
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
const CommandRegistration kMods{
    {80, "mods", kModsUsage, "游戏实例的 Forge 版本可用的 Mod：ID、名称、作者、是否已安装\n（--installed：只列出已安装的）",
     ModsCommand}};
const CommandRegistration kModInstall{
    {81, "mod-install", kModInstallUsage, "把 Mod 安装到游戏实例的 mods 文件夹", ModInstallCommand}};
const CommandRegistration kModRemove{{82, "mod-remove", kModRemoveUsage, "删除游戏实例已安装的 Mod", ModRemoveCommand}};
}  // namespace

}  // namespace kv::cli
