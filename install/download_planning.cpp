#include "install/download_planning.h"

#include <sys/stat.h>

#include <unordered_set>

#include "game/game_layout.h"
#include "game/library_paths.h"
#include "game/library_rules.h"
#include "install/download_limits.h"
#include "install/mirror_layout.h"
#include "net/transfers.h"
#include "net/url_encoding.h"
#include "platform/diagnostic_log.h"
#include "util/digest.h"
#include "util/files.h"

namespace kv {
namespace {

void LogRefused(const char* what, const std::string& value) {
  LogLine(LogLevel::Warning, std::string("Not planned: unsafe ") + what + " \"" + value + "\"");
}

// Whether the file at `path` still has to be fetched: nothing of its name exists, or a regular
// file there has another size than the described one, or (when verifying) another SHA-1.
// Something else of that name (a folder) is left alone, as it always was.
bool NeedsDownload(const std::string& path, std::int64_t size, const std::string& sha1, bool verify) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return true;
  if (!S_ISREG(info.st_mode)) return false;
  if (size >= 0 && static_cast<std::int64_t>(info.st_size) != size) return true;
  if (!verify || sha1.empty()) return false;
  const std::optional<std::string> digest = Sha1OfFile(path);
  return !digest || !SameDigest(*digest, sha1);
}

// The addresses of a file that the mirror keeps at `mirrorUrl` and the publisher at
// `officialUrl`.
std::vector<std::string> AddressesOf(const DownloadSource& source, const std::string& mirrorUrl,
                                     const std::string& officialUrl) {
  if (source.UsesMirrorLayout()) return {mirrorUrl};
  return source.Addresses(officialUrl);
}

std::string WithTrailingSlash(std::string base) {
  if (!base.empty() && base.back() != '/') base += '/';
  return base;
}

void PlanLibraries(const std::string& gamePath, const VersionDescription& description, const DownloadSource& source,
                   const PlanOptions& options, std::vector<DownloadItem>& plan) {
  const RuleEnvironment environment = SystemRuleEnvironment(options.profile, options.bitness, options.osVersion);
  const bool honourRules = HonoursLibraryRules(description, options.profile);
  for (const LibraryEntry& library : description.libraries) {
    if (!IsLibraryUsed(library, environment, honourRules)) continue;
    if (!IsSafeLibrary(library)) {
      LogRefused("library", library.name);
      continue;
    }
    const RemoteFile* published = LibraryRemoteFile(library, options.profile, options.bitness);
    DownloadItem item;
    item.path = LibraryLocalPath(gamePath, library, options.profile, options.bitness);
    item.size = published ? published->size : -1;
    item.sizeLimit = kLibraryLimit;
    item.sha1 = published ? published->sha1 : std::string();
    if (!NeedsDownload(item.path, item.size, item.sha1, options.verify)) continue;
    const std::string relative = LibraryRelativePath(library, options.profile, options.bitness);
    std::string official;
    if (published && !published->url.empty()) official = published->url;
    else if (!library.repository.empty()) official = WithTrailingSlash(library.repository) + EncodePath(relative);
    else official = OfficialLibraryUrl(relative);
    item.urls = AddressesOf(source, LibraryUrl(source.MirrorBase(), relative), official);
    // A loader's repository publishes the checksum beside the file where its description has none.
    if (item.sha1.empty() && !library.repository.empty() && options.publishedChecksum && !source.UsesMirrorLayout()) {
      item.sha1 = options.publishedChecksum(item.urls);
    }
    SplitPath(item.path, item.extractFolder, item.name);
    item.isArchive = IsNativeLibrary(library, options.profile);
    if (item.isArchive) {
      item.archivePath = item.path;
      item.extractExclude = library.extractExclude;
    }
    plan.push_back(std::move(item));
  }
}

void PlanClientJar(const std::string& gamePath, const VersionDescription& description, const DownloadSource& source,
                   const PlanOptions& options, std::vector<DownloadItem>& plan) {
  if (description.id.empty()) return;
  if (!IsSafeVersionId(description.id)) {
    LogRefused("version id", description.id);
    return;
  }
  const RemoteFile* client = ClientDownload(description);
  std::string path = VersionJarPath(gamePath, description.id);
  const std::int64_t size = client ? client->size : -1;
  const std::string sha1 = client ? client->sha1 : std::string();
  if (!NeedsDownload(path, size, sha1, options.verify)) return;
  // The mirror keeps the client under the version it is made from.
  const std::string& mirrorId = IsSafeVersionId(description.jar) ? description.jar : description.id;
  std::vector<std::string> urls = AddressesOf(source, VersionJarUrl(source.MirrorBase(), mirrorId),
                                              client ? client->url : std::string());
  plan.push_back(
      {.name = path, .path = path, .urls = std::move(urls), .size = size, .sizeLimit = kClientJarLimit, .sha1 = sha1});
}

void PlanLogConfig(const std::string& gamePath, const VersionDescription& description, const DownloadSource& source,
                   const PlanOptions& options, std::vector<DownloadItem>& plan) {
  const LoggingConfig& logging = description.logging;
  // The mirror layout has no place for it.
  if (source.UsesMirrorLayout() || logging.fileId.empty() || logging.file.url.empty()) return;
  if (!IsSafeFileName(logging.fileId)) {
    LogRefused("log configuration", logging.fileId);
    return;
  }
  std::string path = LogConfigPath(gamePath, logging.fileId);
  if (!NeedsDownload(path, logging.file.size, logging.file.sha1, options.verify)) return;
  plan.push_back({.name = logging.fileId,
                  .path = path,
                  .urls = source.Addresses(logging.file.url),
                  .size = logging.file.size,
                  .sizeLimit = kLogConfigLimit,
                  .sha1 = logging.file.sha1});
}

void PlanAssets(const std::string& gamePath, const AssetIndex& assets, const DownloadSource& source,
                const PlanOptions& options, std::vector<DownloadItem>& plan) {
  if (options.legacyAssets && source.UsesMirrorLayout()) {
    std::string folder = LegacyAssetFolder(gamePath);
    std::string path = folder + kLegacyArchiveName;
    if (!PathExists(path)) {
      plan.push_back({.name = kLegacyArchiveName,
                      .path = path,
                      .urls = {LegacyArchiveUrl(source.MirrorBase())},
                      .sizeLimit = kLegacyArchiveLimit,
                      .isArchive = true,
                      .archivePath = path,
                      .extractFolder = folder});
    }
    return;
  }
  std::unordered_set<std::string> plannedHashes;
  for (const AssetObject& object : assets.objects) {
    if (!IsSafeAssetHash(object.hash)) {
      LogRefused("asset hash", object.hash);
      continue;
    }
    if (plannedHashes.count(object.hash) != 0) continue;
    std::string path = AssetObjectPath(gamePath, object.hash);
    // An index without a size reads as 0: only a positive size is taken as known. An object
    // is named by its SHA-1, which guards it either way.
    const std::int64_t size = object.size > 0 ? object.size : -1;
    if (!NeedsDownload(path, size, object.hash, options.verify)) continue;
    plannedHashes.insert(object.hash);
    plan.push_back({.name = object.name,
                    .path = path,
                    .urls = AddressesOf(source, AssetObjectUrl(source.MirrorBase(), object.hash), OfficialObjectUrl(object.hash)),
                    .size = size,
                    .sizeLimit = kAssetObjectLimit,
                    .sha1 = object.hash});
  }
}

}  // namespace

std::vector<DownloadItem> PlanDownloads(const std::string& gamePath, const VersionDescription& description,
                                        const AssetIndex& assets, const DownloadSource& source,
                                        const PlanOptions& options) {
  std::vector<DownloadItem> plan;
  PlanLibraries(gamePath, description, source, options, plan);
  PlanClientJar(gamePath, description, source, options, plan);
  PlanLogConfig(gamePath, description, source, options, plan);
  PlanAssets(gamePath, assets, source, options, plan);
  return plan;
}

std::vector<DownloadItem> PlanLibraryDownloads(const std::string& gamePath, const VersionDescription& description,
                                               const DownloadSource& source, const PlanOptions& options) {
  std::vector<DownloadItem> plan;
  PlanLibraries(gamePath, description, source, options, plan);
  return plan;
}

std::string FetchPublishedChecksum(const std::vector<std::string>& fileUrls) {
  for (const std::string& url : fileUrls) {
    std::string body;
    if (!FetchToBuffer(body, url + ".sha1")) continue;
    const std::string digest = body.substr(0, 40);
    if (IsSafeAssetHash(digest)) return digest;
  }
  return {};
}

void ProvideClientJar(const std::string& gamePath, const VersionDescription& description) {
  const std::string& donor = description.jar;
  if (donor.empty() || donor == description.id || !IsSafeVersionId(donor) || !IsSafeVersionId(description.id)) return;
  const std::string target = VersionJarPath(gamePath, description.id);
  const std::string source = VersionJarPath(gamePath, donor);
  if (PathExists(target) || !PathExists(source)) return;
  const RemoteFile* client = ClientDownload(description);
  if (client && client->size >= 0 && static_cast<std::int64_t>(GetFileSize(source)) != client->size) return;
  // Copied beside the target first, so that a copy cut short never stands as the jar.
  MakeFoldersForPath(target);
  if (!CopyFileAtomically(source, target)) LogLine(LogLevel::Warning, "Could not copy " + source + " to " + target);
}

}  // namespace kv
