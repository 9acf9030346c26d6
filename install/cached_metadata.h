#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "install/download_source.h"
#include "install/metadata_refresh.h"
#include "meta/asset_index.h"
#include "meta/version_description.h"
#include "net/abandonable_transfers.h"

// A version whose files are all in place starts from what the game folder holds, as peer
// launchers do: no request holds the game back. Its documents are checked behind it, and a
// newer description or index counts from the next launch on.
namespace kv {

// Reads the description of `versionId` with every ancestor it names, merged into
// `description`, and the asset index it names into `assets` (an empty index for a version that
// names none), from the game folder alone: no source is asked. Ready, or which document could
// not be read (`description` and `assets` are then left as they were).
MetadataState ReadMetadataOnDisk(const std::string& gamePath, const std::string& versionId,
                                 VersionDescription& description, AssetIndex& assets);

// The check of one version's documents on a thread of its own. The checks work on copies in a
// staging folder of their own; a copy they changed replaces the game folder's document (through
// a temporary file and a rename, so a reader sees the old document or the new one, whole) only
// when it is what it must be: a description of that version, an asset index, a version list
// that names versions. So a check never writes where a download or a reader is at work, and an
// error page never replaces a good document.
class BackgroundMetadataCheck {
 public:
  BackgroundMetadataCheck() = default;
  // Abandons the check under way.
  ~BackgroundMetadataCheck();
  BackgroundMetadataCheck(const BackgroundMetadataCheck&) = delete;
  BackgroundMetadataCheck& operator=(const BackgroundMetadataCheck&) = delete;

  // Starts checking the description of `versionId`, and the asset index that `chainOnDisk` (its
  // chain as read from the game folder) names, as `checks` do. While a check is under way no
  // other starts (false): that one goes on alone.
  bool Start(const DownloadSource& source, const std::string& gamePath, const std::string& versionId,
             const VersionDescription& chainOnDisk, const MetadataChecks& checks);

  // Returns when the check under way has ended.
  void Wait();

  // The check under way stops at once: its transfers fail, it replaces no further document and
  // its staging folder goes. Returns when it has ended.
  void Abandon();

 private:
  std::mutex mutex_;
  std::thread thread_;
  std::unique_ptr<AbandonableTransfers> transfers_;  // of the check under way
  std::atomic<bool> ended_{true};
};

}  // namespace kv
