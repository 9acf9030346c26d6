#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "install/download_source.h"
#include "meta/java_runtime_documents.h"
#include "meta/version_description.h"
#include "net/download_item.h"
#include "util/result.h"

// Installing the publisher's Java runtimes into the launcher's runtime folder
// ("runtime/<component>/"), where Java discovery finds them. A runtime is made in a staging
// folder of its own and moved in place only when it is complete: a failure at any step leaves
// nothing behind, and an older copy of the runtime stays as it was until the new one replaces it.
namespace kv {

// The publisher's index of its Java runtimes.
inline constexpr const char* kRuntimeIndexUrl =
    "https://launchermeta.mojang.com/v1/products/java-runtime/2ec0cc96c44e5a76b9c8b7c39df7210883d12871/all.json";

// The index and a runtime's manifest are fetched into memory, where an answer beyond 1 MiB is
// refused; the real ones are some tens and some hundreds of KiB.
inline constexpr std::int64_t kRuntimeDocumentLimit = 1 << 20;

// The runtime that versions naming none ask for (those up to 1.16): Java 8.
inline constexpr const char* kLegacyRuntimeComponent = "jre-legacy";

// The component `description` asks for ("javaVersion"/"component"), the legacy one when it names none.
std::string RuntimeComponentFor(const VersionDescription& description);

// The index's key for the system the launcher runs on; empty when the publisher has none for it.
std::string HostRuntimePlatform();

// The runtimes the index offers for `platform`, from the first of the source's addresses for it
// that answers. Unreachable when none does (the mirror layout has none), Invalid when what came
// is no index.
Result<std::vector<PublishedRuntime>> FetchRuntimeIndex(const DownloadSource& source, const std::string& platform);

// The offered runtime of `component`; null when there is none.
const PublishedRuntime* FindRuntime(const std::vector<PublishedRuntime>& offered, std::string_view component);
// The offered runtime of Java `major`: of several, the one released last; null when there is none.
const PublishedRuntime* FindRuntimeOfMajor(const std::vector<PublishedRuntime>& offered, int major);

// One runtime on its way in: its manifest read and its files planned into a staging folder.
// The staging folder goes with the object unless Complete() has moved the runtime in place.
class RuntimeInstall {
 public:
  // Fetches the runtime's manifest (its size and SHA-1 as the index gives them) and plans every
  // file of it below a new staging folder of `launcherFolder`'s runtime folder. Refused (nothing
  // made) when the manifest cannot be fetched, is too large or unsafe (see ParseRuntimeManifest),
  // or names a file the source has no address for.
  static Result<RuntimeInstall> Plan(const DownloadSource& source, const std::string& launcherFolder,
                                     const PublishedRuntime& runtime);

  RuntimeInstall(RuntimeInstall&& other) noexcept;
  RuntimeInstall& operator=(RuntimeInstall&&) = delete;
  RuntimeInstall(const RuntimeInstall&) = delete;
  RuntimeInstall& operator=(const RuntimeInstall&) = delete;
  ~RuntimeInstall();

  const std::string& Component() const { return component_; }
  // The runtime's folder once installed, with a trailing separator.
  const std::string& Home() const { return home_; }
  // The files to download (each with its address, size and SHA-1), into the staging folder.
  const std::vector<DownloadItem>& Downloads() const { return downloads_; }

  // Once every download is in place: makes the folders, sets the run bits, makes the links
  // (refused when one really leads out of the runtime) and moves the runtime to Home(),
  // replacing an older copy. The path of the runtime's java program.
  Result<std::string> Complete();

 private:
  RuntimeInstall(std::string component, std::string home, std::string staging, std::vector<RuntimeEntry> entries,
                 std::vector<DownloadItem> downloads);
  Status MakeFoldersAndLinks() const;
  Status MoveInPlace();

  std::string component_;
  std::string home_;
  std::string staging_;  // empty once there is nothing left to remove
  std::vector<RuntimeEntry> entries_;
  std::vector<DownloadItem> downloads_;
};

// The java program of a runtime folder on this system.
std::string RuntimeJavaProgram(const std::string& home);

}  // namespace kv
