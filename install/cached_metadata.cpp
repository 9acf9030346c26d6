#include "install/cached_metadata.h"

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "game/game_files.h"
#include "game/game_layout.h"
#include "game/library_paths.h"
#include "meta/json_document.h"
#include "meta/version_manifest.h"
#include "platform/diagnostic_log.h"
#include "util/files.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

// A folder of the check's own below the system's temporary folder, removed with everything in
// it when the object goes.
class StagingFolder {
 public:
  StagingFolder() {
    std::error_code error;
    std::string pattern = (fs::temp_directory_path(error) / "korvane-check-XXXXXX").string();
    if (!error && ::mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
  }
  ~StagingFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;

  // Empty when none could be made.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

enum class DocumentKind { Description, AssetIndex, VersionList };

// A document of the game folder and its copy in the staging folder.
struct StagedDocument {
  DocumentKind kind;
  std::string inGameFolder;
  std::string staged;
};

bool IsWhatItMustBe(DocumentKind kind, std::string_view text, const std::string& versionId) {
  switch (kind) {
    case DocumentKind::Description: {
      VersionDescription description;
      return ParseVersionDescription(text, description) && description.id == versionId;
    }
    case DocumentKind::AssetIndex: {
      Json::Value root;
      return json::ParseDocument(text, root) && json::Member(root, "objects").isObject();
    }
    case DocumentKind::VersionList: {
      VersionManifest list;
      return ParseVersionManifest(text, list) && !list.entries.empty();
    }
  }
  return false;
}

// The checks compare the copy with the source as they would the game folder's document.
void Stage(const StagedDocument& document) {
  if (!PathExists(document.inGameFolder)) return;
  MakeFoldersForPath(document.staged);
  std::error_code error;
  fs::copy_file(document.inGameFolder, document.staged, error);
  if (error) LogLine(LogLevel::Warning, "Could not copy " + document.inGameFolder + " to check it: " + error.message());
}

void PutInPlace(const StagedDocument& document, const std::string& versionId) {
  const std::optional<std::string> checked = ReadWholeFile(document.staged);
  if (!checked || ReadWholeFile(document.inGameFolder) == *checked) return;
  if (!IsWhatItMustBe(document.kind, *checked, versionId)) {
    LogLine(LogLevel::Warning,
            "The download source sent something else than the document " + document.inGameFolder + "; it stays as it was");
    return;
  }
  if (WriteFileAtomically(document.inGameFolder, *checked)) {
    LogLine(LogLevel::Info, "A newer " + document.inGameFolder + " is in place for the next launch");
  } else {
    LogLine(LogLevel::Warning, "Could not put the newer " + document.inGameFolder + " in place");
  }
}

void CheckInStagingFolder(AbandonableTransfers& transfers, const DownloadSource& source, const std::string& gamePath,
                          const std::string& versionId, const VersionDescription& chainOnDisk,
                          const MetadataChecks& checks) {
  const AbandonableTransfers::Scope watched(&transfers);
  const StagingFolder staging;
  if (staging.Path().empty()) {
    LogLine(LogLevel::Warning, "No staging folder to check the documents of " + versionId + " in");
    return;
  }
  std::vector<StagedDocument> documents{
      {DocumentKind::Description, VersionJsonPath(gamePath, versionId), VersionJsonPath(staging.Path(), versionId)},
      {DocumentKind::VersionList, VersionListPath(gamePath), VersionListPath(staging.Path())}};
  const bool namesIndex = IsSafeAssetIndexId(chainOnDisk.assets);
  if (namesIndex) {
    documents.push_back({DocumentKind::AssetIndex, AssetIndexPath(gamePath, chainOnDisk.assets),
                         AssetIndexPath(staging.Path(), chainOnDisk.assets)});
  }
  for (const StagedDocument& document : documents) Stage(document);
  checks.both(source, staging.Path(), versionId, namesIndex ? &chainOnDisk : nullptr);
  for (const StagedDocument& document : documents) {
    if (transfers.Abandoned()) return;
    PutInPlace(document, versionId);
  }
}

}  // namespace

MetadataState ReadMetadataOnDisk(const std::string& gamePath, const std::string& versionId,
                                 VersionDescription& description, AssetIndex& assets) {
  VersionDescription chain;
  if (ReadVersionChain(gamePath, versionId, chain).status != InheritanceStatus::Resolved) {
    return MetadataState::DescriptionUnreadable;
  }
  AssetIndex index;
  if (!chain.assets.empty() && !ReadAssetIndex(gamePath, chain.assets, index)) return MetadataState::AssetIndexUnreadable;
  description = std::move(chain);
  assets = std::move(index);
  return MetadataState::Ready;
}

BackgroundMetadataCheck::~BackgroundMetadataCheck() { Abandon(); }

bool BackgroundMetadataCheck::Start(const DownloadSource& source, const std::string& gamePath,
                                    const std::string& versionId, const VersionDescription& chainOnDisk,
                                    const MetadataChecks& checks) {
  if (!IsSafeVersionId(versionId)) return false;
  std::lock_guard lock(mutex_);
  if (thread_.joinable()) {
    if (!ended_.load()) return false;
    thread_.join();
  }
  transfers_ = std::make_unique<AbandonableTransfers>();
  ended_.store(false);
  try {
    thread_ = std::thread([this, transfers = transfers_.get(), source, gamePath, versionId, chainOnDisk, checks] {
      CheckInStagingFolder(*transfers, source, gamePath, versionId, chainOnDisk, checks);
      ended_.store(true);
    });
  } catch (const std::system_error&) {
    ended_.store(true);
    LogLine(LogLevel::Warning, "No thread to spare for checking the documents of " + versionId);
    return false;
  }
  return true;
}

void BackgroundMetadataCheck::Wait() {
  std::lock_guard lock(mutex_);
  if (thread_.joinable()) thread_.join();
}

void BackgroundMetadataCheck::Abandon() {
  std::lock_guard lock(mutex_);
  if (!thread_.joinable()) return;
  transfers_->Abandon();
  thread_.join();
}

}  // namespace kv
