#include "modpack/pack_import.h"

#include <stdlib.h>

#include <algorithm>

#include "modpack/pack_index.h"
#include "settings/instance_commands.h"
#include "settings/instance_folders.h"
#include "util/files.h"
#include "util/messages.h"
#include "util/zip_archive.h"

namespace kv {
namespace {

constexpr std::size_t kMaxIndexBytes = 64u * 1024 * 1024;

// The folders of the archive copied over the instance, in this order; "server-overrides/" is
// for servers and never applied.
constexpr const char* kOverrideFolders[] = {"overrides/", "client-overrides/"};

struct OverrideEntry {
  std::string entry;  // as stored in the archive
  std::string path;   // below the instance's folder
};

// The override entries to copy, or the first one that may not be written.
Result<std::vector<OverrideEntry>> CollectOverrides(const ZipArchive& archive) {
  std::vector<OverrideEntry> overrides;
  for (const std::string folder : kOverrideFolders) {
    for (const std::string& entry : archive.EntryNames()) {
      std::string slashed = entry;
      for (char& c : slashed) {
        if (c == '\\') c = '/';
      }
      if (slashed.rfind(folder, 0) != 0) continue;
      std::string path = entry.substr(folder.size());
      if (path.empty()) continue;
      const bool isFolder = path.back() == '/';
      if (isFolder) path.pop_back();
      if (!IsSafePackPath(path) || archive.IsLink(entry)) {
        return Fail(FailureKind::Refused, msg::PackPathUnsafe(entry));
      }
      if (!isFolder) overrides.push_back({entry, std::move(path)});
    }
  }
  return overrides;
}

std::vector<std::string> AddressesOf(const PackFile& file, const PackImportServices& services) {
  std::vector<std::string> addresses;
  for (const std::string& url : file.urls) {
    for (std::string& address : services.addresses(url)) {
      if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
        addresses.push_back(std::move(address));
      }
    }
  }
  return addresses;
}

// The folder the instance is put together in, beside the instances; removed with everything
// in it unless it became the instance.
class StagingFolder {
 public:
  static Result<StagingFolder> Make(const std::string& root) {
    MakeFoldersForPath(root);
    std::string pattern = root + ".import-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) return Fail(FailureKind::Io, msg::FileNotWritten(root));
    return StagingFolder(root, pattern + "/");
  }
  StagingFolder(StagingFolder&& other) noexcept : root_(other.root_), path_(std::move(other.path_)) { other.path_.clear(); }
  StagingFolder& operator=(StagingFolder&&) = delete;
  ~StagingFolder() {
    if (!path_.empty()) DeleteFolder(path_, root_);
  }
  const std::string& Path() const { return path_; }
  // It is the instance's folder now.
  void Keep() { path_.clear(); }

 private:
  StagingFolder(std::string root, std::string path) : root_(std::move(root)), path_(std::move(path)) {}
  std::string root_;
  std::string path_;
};

}  // namespace

Result<PackImportSummary> ImportPack(const PackImportRequest& request, const PackImportServices& services) {
  Result<ZipArchive> archive = ZipArchive::Open(request.packPath);
  if (!archive) return Fail(FailureKind::Invalid, msg::PackUnreadable(request.packPath));
  if (!archive->Contains(kPackIndexName)) return Fail(FailureKind::Invalid, msg::PackIndexMissing(request.packPath));
  Result<std::string> indexText = archive->Read(kPackIndexName, kMaxIndexBytes);
  if (!indexText) return std::move(indexText).failure();
  Result<PackIndex> index = ReadPackIndex(*indexText);
  if (!index) return std::move(index).failure();
  Result<std::vector<OverrideEntry>> overrides = CollectOverrides(*archive);
  if (!overrides) return std::move(overrides).failure();

  PackImportSummary summary;
  summary.instanceName = request.name.empty() ? index->name : request.name;
  if (summary.instanceName.empty()) return Fail(FailureKind::Invalid, msg::kPackNameMissing);
  const InstanceCommandResult check = CheckNewInstance(request.settingsPath, summary.instanceName);
  if (check.status != InstanceCommandStatus::Done) {
    return Fail(FailureKind::Refused, DescribeInstanceCommandResult(check));
  }
  const std::string root = InstancesRoot(request.gamePath);
  const std::string instanceFolder = InstanceFolder(request.gamePath, summary.instanceName);
  if (PathExists(instanceFolder)) return Fail(FailureKind::Refused, msg::PackInstanceFolderExists(instanceFolder));

  std::vector<DownloadItem> plan;
  std::vector<const PackFile*> planned;
  for (const PackFile& file : index->files) {
    if (file.client == ClientUse::Unsupported) {
      summary.unsupportedSkipped.push_back(file.path);
      continue;
    }
    if (file.client == ClientUse::Optional) summary.optionalIncluded.push_back(file.path);
    std::vector<std::string> addresses = AddressesOf(file, services);
    if (addresses.empty()) return Fail(FailureKind::Refused, msg::PackFileNoAddress(file.path));
    plan.push_back({.name = file.path, .urls = std::move(addresses), .size = file.size, .sha1 = file.sha1,
                    .sha512 = file.sha512});
  }

  Result<StagingFolder> staging = StagingFolder::Make(root);
  if (!staging) return std::move(staging).failure();
  for (DownloadItem& item : plan) item.path = staging->Path() + item.name;

  summary.version = index->gameVersion;
  if (index->loader) {
    Result<std::string> installed = services.installLoader(
        {request.gamePath, index->gameVersion, index->loader->kind, index->loader->version, request.downloads});
    if (!installed) return std::move(installed).failure();
    summary.version = *installed;
  }

  if (!plan.empty()) {
    const DownloadOutcome outcome = services.fetch(plan);
    if (outcome.result == DownloadResult::Cancelled) return Fail(FailureKind::Cancelled, msg::kPackImportCancelled);
    if (outcome.result != DownloadResult::Completed) {
      return Fail(FailureKind::Unreachable, msg::PackFileFailed(outcome.failedName, outcome.reason));
    }
  }
  summary.filesFetched = static_cast<int>(plan.size());

  for (const OverrideEntry& override : *overrides) {
    if (Status extracted = archive->Extract(override.entry, staging->Path() + override.path); !extracted) {
      return Fail(extracted.failure().kind, msg::PackOverrideFailed(override.entry, extracted.failure().message));
    }
    ++summary.overridesApplied;
  }

  if (!RenameFolder(staging->Path(), instanceFolder, root)) {
    return Fail(FailureKind::Io, msg::PackInstanceFolderExists(instanceFolder));
  }
  staging->Keep();
  const InstanceCommandResult added =
      AddInstance(request.settingsPath, request.gamePath, summary.instanceName, summary.version);
  if (added.status != InstanceCommandStatus::Done) {
    DeleteFolder(instanceFolder, root);
    return Fail(FailureKind::Io, DescribeInstanceCommandResult(added));
  }
  return summary;
}

}  // namespace kv
