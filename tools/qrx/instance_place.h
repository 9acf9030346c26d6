#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mods/mod_documents.h"
#include "tools/qrx/catalogue_index.h"
#include "util/result.h"

// Where qrx keeps its things for one instance: the instance's folder (found as the launcher
// finds it, from the settings file of the launcher folder) with its "mods" folder and the
// ".qrx" folder: ".info" for the two result files, ".cache" for the catalogue and the icons,
// ".download" for files on their way, "state.json" for what init was given.
namespace kv::qrx {

// What the last matchlist made Matchmod.info from, and what it wrote: the digest of its inputs
// (the kept catalogue, the game version, the installed list), the digest of the file and the
// number of mods in it.
struct MatchRecord {
  std::string inputs;
  std::string result;
  int mods = 0;
};

struct InstanceState {
  std::string catalogueBase;
  std::string gameVersion;
  bool iconsComplete = false;  // every icon of the mods offered for gameVersion was fetched
};

class InstancePlace {
 public:
  // The instance `name` registered in `launcherFolder`'s settings file. Nothing, with the
  // reason in `error`, for an unknown instance or a name that cannot be a folder.
  static std::optional<InstancePlace> Find(const std::string& launcherFolder, const std::string& name,
                                           std::string& error);

  const std::string& Folder() const { return folder_; }
  std::string ModsFolder() const { return folder_ + "mods/"; }
  std::string QrxFolder() const { return folder_ + ".qrx/"; }
  std::string InfoFolder() const { return QrxFolder() + ".info/"; }
  std::string CacheFolder() const { return QrxFolder() + ".cache/"; }
  std::string DownloadFolder() const { return QrxFolder() + ".download/"; }
  std::string MatchListPath() const { return InfoFolder() + "Matchmod.info"; }
  std::string InstalledListPath() const { return InfoFolder() + "InstalledMod.info"; }
  std::string CataloguePath() const { return CacheFolder() + "catalogue.json"; }
  std::string MatchRecordPath() const { return CacheFolder() + "matchlist.json"; }
  std::string LockPath() const { return QrxFolder() + "lock"; }

  // Creates the ".qrx" folders. Fails when they cannot be made, and when one of them (or
  // ".qrx" itself) is a link: everything qrx writes stays inside the instance's folder.
  Status MakeFolders() const;
  // The mods folder may be written: missing, or a real folder of the instance, not a link.
  Status CheckModsFolder() const;

  std::optional<InstanceState> ReadState() const;
  bool WriteState(const InstanceState& state) const;

  std::optional<MatchRecord> ReadMatchRecord() const;
  bool WriteMatchRecord(const MatchRecord& record) const;

  // The catalogue init fetched last, as kept and as read; nothing (with the reason) before any
  // init.
  std::optional<std::string> ReadCatalogueText(std::string& error) const;
  std::optional<std::vector<CatalogueEntry>> ReadCatalogue(std::string& error) const;

  // The installed list: empty when there is none yet, nothing when it cannot be read (it is
  // the only record of what may be removed, so it is never overwritten then).
  std::optional<std::vector<InstalledMod>> ReadInstalled() const;
  bool WriteInstalled(const std::vector<InstalledMod>& installed) const;

 private:
  explicit InstancePlace(std::string folder) : folder_(std::move(folder)) {}
  std::string folder_;
};

}  // namespace kv::qrx
