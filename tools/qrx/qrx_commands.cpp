#include "tools/qrx/qrx_commands.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "net/transfers.h"
#include "net/url_encoding.h"
#include "tools/qrx/game_versions.h"
#include "util/ascii_text.h"
#include "util/digest.h"
#include "util/file_names.h"
#include "util/files.h"

namespace kv::qrx {
namespace {

namespace fs = std::filesystem;

CommandResult Failure(std::string reason) {
  CommandResult result;
  result.ok = false;
  result.failure = std::move(reason);
  return result;
}

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

bool Rename(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::rename(PathOf(from), PathOf(to), error);
  return !error;
}

void Remove(const std::string& path) {
  std::error_code ignored;
  fs::remove(PathOf(path), ignored);
}

bool HasFile(const std::string& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(PathOf(path), ignored));
}

// The icon's name in the cache: its digest and a picture extension, so that names from the
// catalogue never become paths.
std::string IconCacheName(const CatalogueFile& icon) {
  std::string extension = LowerExtension(icon.path);
  for (const char* known : {"png", "jpg", "jpeg", "gif", "bmp"}) {
    if (extension == known) return icon.md5 + "." + extension;
  }
  return icon.md5 + ".img";
}

// Downloads `file` to `path` and checks its length and digest; the reason when it fails,
// with nothing left at `path`. The catalogue's size bounds the answer: a longer one is stopped
// where it passes it.
std::string FetchChecked(const std::string& base, const CatalogueFile& file, const std::string& path) {
  const std::string address = CatalogueAddress(base, file.path);
  if (const Status fetched = DownloadToFile(path, address, kConnectTimeout, file.size); !fetched) {
    Remove(path);
    return fetched.message();
  }
  if (GetFileSize(path) != file.size) {
    Remove(path);
    return "文件大小与目录不符: " + file.path;
  }
  if (Md5HexOfFile(path).value_or(std::string()) != file.md5) {
    Remove(path);
    return "文件的 MD5 与目录不符: " + file.path;
  }
  return {};
}

bool IsInstalled(const std::vector<InstalledMod>& installed, const std::string& id) {
  return std::any_of(installed.begin(), installed.end(), [&](const InstalledMod& mod) { return mod.mod.id == id; });
}

ModExtraInfo ExtraOf(const CatalogueEntry& entry) {
  ModExtraInfo extra;
  extra.author = entry.authors;
  extra.modtype = LoaderTitle(entry.loader);
  extra.modchn = entry.name;
  if (entry.icon) extra.icon = IconCacheName(*entry.icon);
  return extra;
}

// A file the installation record names, as a path inside the mods folder; empty when the
// record points anywhere else.
std::string RecordedModFile(const InstancePlace& place, const std::string& to) {
  constexpr std::string_view kPrefix = "mods/";
  if (to.rfind(kPrefix, 0) != 0 || !IsPlainFileName(to.substr(kPrefix.size()))) return {};
  return place.ModsFolder() + to.substr(kPrefix.size());
}

// Files moved aside or into place, moved back when the command fails.
class Moves {
 public:
  ~Moves() { Undo(); }
  void Undo() {
    for (auto it = done_.rbegin(); it != done_.rend(); ++it) Rename(it->second, it->first);
    done_.clear();
  }
  bool Move(const std::string& from, const std::string& to) {
    if (!Rename(from, to)) return false;
    done_.emplace_back(from, to);
    return true;
  }
  // Keeps what was moved.
  void Commit() { done_.clear(); }

 private:
  std::vector<std::pair<std::string, std::string>> done_;
};

// Changes whenever MatchList makes something else of the same inputs, so that a record of an
// earlier qrx never keeps its Matchmod.info.
constexpr std::string_view kMatchListForm = "matchlist 1";

// The digest of what Matchmod.info is made from.
std::string MatchInputs(const std::string& catalogue, const std::string& gameVersion, const std::string& installed) {
  Digest digest(DigestKind::Md5);
  for (const std::string_view part : {kMatchListForm, std::string_view(catalogue), std::string_view(gameVersion),
                                      std::string_view(installed)}) {
    digest.Update(part.data(), part.size());
    digest.Update("", 1);  // parts end in a zero byte, so that no two splits give the same digest
  }
  return digest.HexDigest();
}

CommandResult MatchCount(const std::string& gameVersion, int mods) {
  CommandResult result;
  result.lines.push_back("适用于 " + gameVersion + " 的 Mod: " + std::to_string(mods) + " 个");
  return result;
}

}  // namespace

CommandResult Init(const InstancePlace& place, const std::string& catalogueBase, const std::string& gameVersion) {
  if (!IsWebAddress(catalogueBase)) return Failure("目录地址必须以 http:// 或 https:// 开头: " + catalogueBase);
  if (gameVersion.empty()) return Failure("缺少游戏版本");
  const std::string base = catalogueBase.back() == '/' ? catalogueBase : catalogueBase + "/";
  const std::string download = place.DownloadFolder() + kCatalogueIndexName;
  const std::string address = base + kCatalogueIndexName;
  if (const Status fetched = DownloadToFile(download, address, kConnectTimeout, kCatalogueIndexLimit); !fetched) {
    return Failure("无法下载 Mod 目录: " + fetched.message());
  }
  const std::optional<std::string> text = ReadWholeFile(download);
  Remove(download);
  // The catalogue that was read and kept last time, for the same version, with every icon in
  // the cache: nothing to read again. A large catalogue costs most of its time in the reading.
  const std::optional<InstanceState> kept = place.ReadState();
  if (text && kept && kept->catalogueBase == base && kept->gameVersion == gameVersion && kept->iconsComplete &&
      ReadWholeFile(place.CataloguePath()) == text) {
    CommandResult unchanged;
    unchanged.lines.push_back("Mod 目录没有变化");
    return unchanged;
  }
  std::string error;
  std::vector<std::string> warnings;
  const std::optional<std::vector<CatalogueEntry>> entries =
      text ? ReadCatalogueIndex(*text, error, warnings) : std::nullopt;
  if (!entries) return Failure("Mod 目录无法读取: " + (error.empty() ? address : error));
  if (!WriteFileAtomically(place.CataloguePath(), *text) || !place.WriteState({base, gameVersion})) {
    return Failure("无法写入 " + place.QrxFolder());
  }

  CommandResult result;
  result.lines = warnings;
  bool iconsComplete = true;
  int offered = 0;
  OfferFilter filter(gameVersion);
  for (const CatalogueEntry& entry : *entries) {
    if (!filter.Offered(entry)) continue;
    ++offered;
    if (const std::string problem = EntryProblem(entry); !problem.empty()) {
      result.lines.push_back("跳过: " + problem);
      continue;
    }
    if (!entry.icon) continue;
    const std::string cached = place.CacheFolder() + IconCacheName(*entry.icon);
    if (Md5HexOfFile(cached).value_or(std::string()) == entry.icon->md5) continue;
    // A mod without its picture is still offered.
    if (const std::string problem = FetchChecked(base, *entry.icon, cached); !problem.empty()) {
      result.lines.push_back("图标: " + problem);
      iconsComplete = false;
    }
  }
  // Only now may a later init with the same catalogue skip the icons.
  if (iconsComplete && !place.WriteState({base, gameVersion, true})) return Failure("无法写入 " + place.QrxFolder());
  result.lines.push_back("Mod 目录有 " + std::to_string(entries->size()) + " 项，适用于 " + gameVersion + " 的有 " +
                         std::to_string(offered) + " 项");
  return result;
}

CommandResult MatchList(const InstancePlace& place, const std::string& gameVersion) {
  std::string error;
  const std::optional<std::string> text = place.ReadCatalogueText(error);
  if (!text) return Failure(error);
  // Made from the same catalogue, version and installed list as last time, and still as it was
  // written then, Matchmod.info stands: a large catalogue costs most of its time in the reading.
  const std::string inputs = MatchInputs(*text, gameVersion, ReadWholeFile(place.InstalledListPath()).value_or(""));
  if (const std::optional<MatchRecord> record = place.ReadMatchRecord();
      record && record->inputs == inputs && Md5HexOfFile(place.MatchListPath()) == record->result) {
    return MatchCount(gameVersion, record->mods);
  }
  std::vector<std::string> warnings;
  const std::optional<std::vector<CatalogueEntry>> entries = ReadCatalogueIndex(*text, error, warnings);
  if (!entries) return Failure(error);
  const std::optional<std::vector<InstalledMod>> installed = place.ReadInstalled();
  if (!installed) return Failure("无法读取 " + place.InstalledListPath());

  std::unordered_set<std::string> installedIds;
  for (const InstalledMod& mod : *installed) installedIds.insert(mod.mod.id);
  // One look-up per entry, so that a catalogue of any size takes time in proportion to it.
  std::unordered_map<std::string, std::size_t> positionOfId;
  std::vector<CatalogueMod> catalogue;
  catalogue.reserve(entries->size());
  OfferFilter filter(gameVersion);
  for (const CatalogueEntry& entry : *entries) {
    if (!filter.Offered(entry) || !EntryProblem(entry).empty()) continue;
    const auto [position, first] = positionOfId.try_emplace(entry.id, catalogue.size());
    if (first) {
      CatalogueMod mod;
      mod.id = entry.id;
      mod.installed = installedIds.count(entry.id) ? "true" : "false";
      mod.extra = ExtraOf(entry);
      catalogue.push_back(std::move(mod));
    }
    catalogue[position->second].branches.push_back({entry.version, gameVersion});
  }
  const std::string written = WriteCatalogue(catalogue);
  if (!WriteFileAtomically(place.MatchListPath(), written)) return Failure("无法写入 " + place.MatchListPath());
  const int mods = static_cast<int>(catalogue.size());
  // Without the record the next matchlist only does the work again.
  place.WriteMatchRecord({inputs, Md5Hex(written), mods});
  return MatchCount(gameVersion, mods);
}

CommandResult List(const InstancePlace& place) {
  const std::optional<std::vector<InstalledMod>> installed = place.ReadInstalled();
  if (!installed) return Failure("无法读取 " + place.InstalledListPath());
  if (!place.WriteInstalled(*installed)) return Failure("无法写入 " + place.InstalledListPath());
  CommandResult result;
  result.lines.push_back("已安装的 Mod: " + std::to_string(installed->size()) + " 个");
  return result;
}

CommandResult Install(const InstancePlace& place, const std::string& id) {
  const std::optional<InstanceState> state = place.ReadState();
  std::string error;
  const std::optional<std::vector<CatalogueEntry>> entries = place.ReadCatalogue(error);
  if (!state || !entries) return Failure(error.empty() ? "这个实例还没有运行过 init" : error);
  std::optional<std::vector<InstalledMod>> installed = place.ReadInstalled();
  if (!installed) return Failure("无法读取 " + place.InstalledListPath());
  if (IsInstalled(*installed, id)) {
    CommandResult result;
    result.lines.push_back("已经安装: " + id);
    return result;
  }

  const CatalogueEntry* chosen = nullptr;
  std::string problem = "目录中没有这个 Mod: " + id;
  for (const CatalogueEntry& entry : *entries) {
    if (entry.id != id) continue;
    if (!OfferedFor(entry, state->gameVersion)) {
      problem = "Mod " + id + " 不适用于游戏版本 " + state->gameVersion;
      continue;
    }
    problem = EntryProblem(entry);
    if (problem.empty()) {
      chosen = &entry;
      break;
    }
  }
  if (!chosen) return Failure(problem);

  if (const Status mods = place.CheckModsFolder(); !mods) return Failure(mods.message());
  for (const CatalogueFile& file : chosen->files) {
    if (HasFile(place.ModsFolder() + file.name)) return Failure("mods 文件夹中已有同名文件: " + file.name);
  }
  MakeFoldersForPath(place.ModsFolder());
  std::vector<std::string> staged;
  auto dropStaged = [&staged] {
    for (const std::string& path : staged) Remove(path);
  };
  InstalledMod record;
  record.mod = {chosen->id, chosen->version, chosen->version, LoaderName(chosen->loader)};
  record.branch = {chosen->version, state->gameVersion};
  record.extra = ExtraOf(*chosen);
  for (std::size_t i = 0; i < chosen->files.size(); ++i) {
    const CatalogueFile& file = chosen->files[i];
    const std::string path = place.DownloadFolder() + std::to_string(i) + "-" + file.md5 + ".part";
    staged.push_back(path);
    if (const std::string failure = FetchChecked(state->catalogueBase, file, path); !failure.empty()) {
      dropStaged();
      return Failure(failure);
    }
    record.installs.push_back({CatalogueAddress(state->catalogueBase, file.path), "mods/" + file.name, file.md5});
  }

  Moves moves;
  for (std::size_t i = 0; i < chosen->files.size(); ++i) {
    if (!moves.Move(staged[i], place.ModsFolder() + chosen->files[i].name)) {
      moves.Undo();
      dropStaged();
      return Failure("无法把文件放入 mods 文件夹: " + chosen->files[i].name);
    }
  }
  installed->push_back(record);
  if (!place.WriteInstalled(*installed)) {
    moves.Undo();
    dropStaged();
    return Failure("无法写入 " + place.InstalledListPath());
  }
  moves.Commit();
  CommandResult result;
  for (const CatalogueFile& file : chosen->files) result.lines.push_back("已放入 mods/" + file.name);
  result.lines.push_back("已安装: " + id + " " + chosen->version);
  return result;
}

CommandResult Uninstall(const InstancePlace& place, const std::string& id) {
  std::optional<std::vector<InstalledMod>> installed = place.ReadInstalled();
  if (!installed) return Failure("无法读取 " + place.InstalledListPath());
  const auto found = std::find_if(installed->begin(), installed->end(), [&](const InstalledMod& mod) { return mod.mod.id == id; });
  if (found == installed->end()) return Failure("没有安装这个 Mod: " + id);
  for (const InstalledFile& file : found->installs) {
    if (RecordedModFile(place, file.to).empty()) return Failure("安装记录中的文件不在 mods 文件夹中: " + file.to);
  }
  if (const Status mods = place.CheckModsFolder(); !mods) return Failure(mods.message());

  CommandResult result;
  Moves moves;
  std::vector<std::string> aside;
  for (std::size_t i = 0; i < found->installs.size(); ++i) {
    const InstalledFile& file = found->installs[i];
    const std::string path = RecordedModFile(place, file.to);
    if (!HasFile(path)) continue;
    // A file changed since it was placed is the player's now; it stays.
    if (Md5HexOfFile(path).value_or(std::string()) != file.md5) {
      result.lines.push_back("文件已被改动，保留: " + file.to);
      continue;
    }
    const std::string removed = place.DownloadFolder() + "removing-" + std::to_string(i);
    if (!moves.Move(path, removed)) return Failure("无法删除 " + file.to);
    aside.push_back(removed);
    result.lines.push_back("已删除 " + file.to);
  }
  installed->erase(found);
  if (!place.WriteInstalled(*installed)) return Failure("无法写入 " + place.InstalledListPath());
  moves.Commit();
  for (const std::string& path : aside) Remove(path);
  result.lines.push_back("已卸载: " + id);
  return result;
}

}  // namespace kv::qrx
