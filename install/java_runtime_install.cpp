#include "install/java_runtime_install.h"

#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include "net/transfers.h"
#include "platform/diagnostic_log.h"
#include "platform/java_source.h"
#include "platform/launcher_folder.h"
#include "platform/platform_profile.h"
#include "util/digest.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace fs = std::filesystem;
namespace {

// Staging folders live here, beside the runtimes: a rename moves a finished runtime in place,
// and discovery, which looks for bin/java one level down, never takes one for a runtime.
constexpr const char* kStagingFolder = ".staging/";

Result<std::string> FetchDocument(const std::vector<std::string>& urls) {
  std::string body;
  for (const std::string& url : urls) {
    if (FetchToBuffer(body, url)) return body;
    LogLine(LogLevel::Warning, "Could not fetch " + url);
  }
  return Fail(FailureKind::Unreachable, {});
}

// A folder of its own below `parent`, made now; empty when none could be made.
std::string MakeUniqueFolder(const std::string& parent, const std::string& stem) {
  std::random_device random;
  std::error_code error;
  fs::create_directories(parent, error);
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string folder = parent + stem + "-" + std::to_string(random() % 100000000);
    if (fs::create_directory(folder, error)) return folder + "/";
  }
  return {};
}

bool IsInside(const fs::path& path, const fs::path& root) {
  const fs::path relative = path.lexically_relative(root);
  return !relative.empty() && *relative.begin() != ".." && !relative.is_absolute();
}

// Removes `folder` (below the staging folder) with everything in it, and the staging folder
// once nothing else is being made there.
void RemoveStaged(const std::string& folder) {
  std::error_code error;
  if (!folder.empty()) fs::remove_all(folder, error);
  if (error) LogLine(LogLevel::Warning, "Could not remove " + folder + ": " + error.message());
  std::string path = folder;
  if (path.ends_with('/')) path.pop_back();
  fs::remove(fs::path(path).parent_path(), error);
}

}  // namespace

std::string RuntimeComponentFor(const VersionDescription& description) {
  return description.javaComponent.empty() ? kLegacyRuntimeComponent : description.javaComponent;
}

std::string HostRuntimePlatform() { return RuntimePlatformKey(PlatformProfile::Host().osName, HostProcessor()); }

Result<std::vector<PublishedRuntime>> FetchRuntimeIndex(const DownloadSource& source, const std::string& platform) {
  Result<std::string> index = FetchDocument(source.Addresses(kRuntimeIndexUrl));
  if (!index) return Fail(FailureKind::Unreachable, msg::kRuntimeIndexUnreachable);
  return ParseRuntimeIndex(*index, platform);
}

const PublishedRuntime* FindRuntime(const std::vector<PublishedRuntime>& offered, std::string_view component) {
  for (const PublishedRuntime& runtime : offered) {
    if (runtime.component == component) return &runtime;
  }
  return nullptr;
}

const PublishedRuntime* FindRuntimeOfMajor(const std::vector<PublishedRuntime>& offered, int major) {
  const PublishedRuntime* newest = nullptr;
  for (const PublishedRuntime& runtime : offered) {
    if (JavaMajorVersion(runtime.versionName) != major) continue;
    // ISO 8601 times of one form order as their text does.
    if (newest == nullptr || runtime.released > newest->released) newest = &runtime;
  }
  return newest;
}

std::string RuntimeJavaProgram(const std::string& home) {
  return home + "bin/java" + PlatformProfile::Host().executableSuffix;
}

RuntimeInstall::RuntimeInstall(std::string component, std::string home, std::string staging,
                               std::vector<RuntimeEntry> entries, std::vector<DownloadItem> downloads)
    : component_(std::move(component)),
      home_(std::move(home)),
      staging_(std::move(staging)),
      entries_(std::move(entries)),
      downloads_(std::move(downloads)) {}

RuntimeInstall::RuntimeInstall(RuntimeInstall&& other) noexcept
    : component_(std::move(other.component_)),
      home_(std::move(other.home_)),
      staging_(std::exchange(other.staging_, std::string())),
      entries_(std::move(other.entries_)),
      downloads_(std::move(other.downloads_)) {}

RuntimeInstall::~RuntimeInstall() {
  if (!staging_.empty()) RemoveStaged(staging_);
}

Result<RuntimeInstall> RuntimeInstall::Plan(const DownloadSource& source, const std::string& launcherFolder,
                                            const PublishedRuntime& runtime) {
  if (!IsSafeComponentName(runtime.component)) {
    return Fail(FailureKind::Invalid, msg::RuntimeComponentInvalid(runtime.component));
  }
  if (runtime.manifestSize > kRuntimeDocumentLimit) return Fail(FailureKind::TooLarge, msg::kRuntimeManifestTooLarge);
  Result<std::string> manifest = FetchDocument(source.Addresses(runtime.manifestUrl));
  if (!manifest) return Fail(FailureKind::Unreachable, msg::kRuntimeManifestUnreachable);
  if ((runtime.manifestSize >= 0 && static_cast<std::int64_t>(manifest->size()) != runtime.manifestSize) ||
      HexDigestOf(DigestKind::Sha1, *manifest) != runtime.manifestSha1) {
    LogLine(LogLevel::Warning, "The manifest of " + runtime.component + " is not the one the index describes");
    return Fail(FailureKind::Mismatch, msg::kRuntimeManifestUnreachable);
  }
  Result<std::vector<RuntimeEntry>> entries = ParseRuntimeManifest(*manifest);
  if (!entries) return std::move(entries).failure();

  std::vector<DownloadItem> downloads;
  for (const RuntimeEntry& entry : *entries) {
    if (entry.type != RuntimeEntry::Type::File) continue;
    std::vector<std::string> urls = source.Addresses(entry.url);
    if (urls.empty()) return Fail(FailureKind::Invalid, msg::RuntimeManifestRefused(entry.path));
    downloads.push_back({.name = entry.path, .urls = std::move(urls), .size = entry.size, .sha1 = entry.sha1});
  }
  const std::string runtimes = LauncherRuntimesFolder(launcherFolder);
  const std::string staging = MakeUniqueFolder(runtimes + kStagingFolder, runtime.component);
  if (staging.empty()) return Fail(FailureKind::Io, msg::RuntimeNotWritten(runtimes + kStagingFolder));
  for (DownloadItem& item : downloads) item.path = staging + item.name;
  return RuntimeInstall(runtime.component, runtimes + runtime.component + "/", staging, std::move(*entries),
                        std::move(downloads));
}

Result<std::string> RuntimeInstall::Complete() {
  if (staging_.empty()) return Fail(FailureKind::Other, msg::RuntimeNotWritten(home_));
  for (const DownloadItem& item : downloads_) {
    if (GetFileSize(item.path) != static_cast<std::uint64_t>(item.size) || !fs::is_regular_file(item.path)) {
      return Fail(FailureKind::Io, msg::RuntimeNotWritten(item.path));
    }
  }
  if (Status made = MakeFoldersAndLinks(); !made) return std::move(made).failure();
  if (!CheckJavaProgramFile(RuntimeJavaProgram(staging_))) return Fail(FailureKind::Invalid, msg::RuntimeWithoutJava(component_));
  if (Status moved = MoveInPlace(); !moved) return std::move(moved).failure();
  return RuntimeJavaProgram(home_);
}

Status RuntimeInstall::MakeFoldersAndLinks() const {
  std::error_code error;
  const fs::path root = fs::canonical(staging_, error);
  if (error) return Fail(FailureKind::Io, msg::RuntimeNotWritten(staging_));
  for (const RuntimeEntry& entry : entries_) {
    const fs::path path = root / entry.path;
    switch (entry.type) {
      case RuntimeEntry::Type::Directory:
        fs::create_directories(path, error);
        break;
      case RuntimeEntry::Type::File:
        if (entry.executable) {
          fs::permissions(path, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                          fs::perm_options::add, error);
        }
        break;
      case RuntimeEntry::Type::Link:
        fs::create_directories(path.parent_path(), error);
        if (!error) fs::create_symlink(entry.target, path, error);
        break;
    }
    if (error) return Fail(FailureKind::Io, msg::RuntimeNotWritten(entry.path));
  }
  // The manifest's targets were checked as text; here the links are followed as the system
  // follows them, through the other links, so that none of them leads anywhere outside.
  for (const RuntimeEntry& entry : entries_) {
    if (entry.type != RuntimeEntry::Type::Link) continue;
    const fs::path resolved = fs::weakly_canonical(root / entry.path, error);
    if (error || !IsInside(resolved, root)) {
      return Fail(FailureKind::Refused, msg::RuntimeLinkLeaves(entry.path + " -> " + entry.target));
    }
  }
  return {};
}

Status RuntimeInstall::MoveInPlace() {
  std::error_code error;
  const std::string staged = staging_.substr(0, staging_.size() - 1);
  const std::string home = home_.substr(0, home_.size() - 1);
  // An older copy steps aside first and comes back should the new one not go in.
  std::string previous;
  if (fs::exists(fs::symlink_status(home, error))) {
    previous = staged + ".previous";
    fs::rename(home, previous, error);
    if (error) return Fail(FailureKind::Io, msg::RuntimeNotWritten(home_));
  }
  fs::rename(staged, home, error);
  if (error) {
    if (!previous.empty()) fs::rename(previous, home, error);
    return Fail(FailureKind::Io, msg::RuntimeNotWritten(home_));
  }
  // Left to remove: the older copy, and the staging folder once it is empty.
  RemoveStaged(previous.empty() ? staged : previous);
  staging_.clear();
  LogLine(LogLevel::Info, "Installed the Java runtime " + component_ + " in " + home_);
  return {};
}

}  // namespace kv
