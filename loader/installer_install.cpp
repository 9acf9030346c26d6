#include "loader/installer_install.h"

#include <stdlib.h>

#include <filesystem>

#include "game/game_files.h"
#include "game/game_layout.h"
#include "game/library_paths.h"
#include "install/download_planning.h"
#include "loader/install_steps.h"
#include "loader/installer_profile.h"
#include "loader/processor_run.h"
#include "loader/processor_values.h"
#include "platform/java_choice.h"
#include "util/files.h"
#include "util/messages.h"
#include "util/zip_archive.h"

namespace kv {
namespace {

// An installer's documents are a few hundred kilobytes at most.
constexpr std::size_t kDocumentLimit = 8 * 1024 * 1024;

// A folder of its own for one installation, removed with everything in it when it ends.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / "korvane-install-XXXXXX").string();
    if (!error && mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The file at `officialUrl` through the source into `path`, checked against `sha1`, else
// against the .sha1 its repository publishes beside it.
DownloadItem PlannedFile(const std::string& officialUrl, const std::string& path, const DownloadSource& source,
                         std::string sha1, std::int64_t size = -1) {
  DownloadItem item{.name = officialUrl.substr(officialUrl.rfind('/') + 1), .path = path, .urls = source.Addresses(officialUrl),
                    .size = size, .sha1 = std::move(sha1)};
  if (item.sha1.empty()) item.sha1 = FetchPublishedChecksum(item.urls);
  return item;
}

class Installation {
 public:
  Installation(const LoaderInstallRequest& request, const DownloadSource& source, InstallSink& sink)
      : request_(request),
        source_(source),
        publishers_(source.ForPublishedFiles()),
        sink_(sink),
        loader_(LoaderDisplayName(request.kind)),
        libraries_(request.gamePath + "/libraries") {}

  Result<std::string> Run() {
    if (scratch_.Path().empty()) return Fail(FailureKind::Io, msg::FileNotWritten(scratch_.Path()));
    const std::string installerPath = scratch_.Path() + "/installer.jar";
    sink_.OnStep(InstallStep::Installer, 0, 0);
    const std::string url = InstallerUrl(request_.kind, request_.gameVersion, request_.loaderVersion);
    if (Status fetched = FetchPlanned({PlannedFile(url, installerPath, publishers_, {})}, InstallStep::Installer,
                                      request_.downloads, sink_);
        !fetched) {
      return Fail(fetched.kind(), msg::InstallerFailed(loader_, fetched.message()));
    }
    Result<ZipArchive> installer = ZipArchive::Open(installerPath);
    if (!installer) return Invalid(installer.message());
    Result<std::string> profileBytes = installer->Read("install_profile.json", kDocumentLimit);
    if (!profileBytes) return Invalid(profileBytes.message());
    Result<InstallerProfile> profile = ReadInstallerProfile(*profileBytes);
    if (!profile) return Fail(profile.kind(), msg::InstallerInvalid(loader_, profile.message()));

    if (Status game = ProvideGameDescription(request_.gamePath, request_.gameVersion, source_, sink_); !game) {
      return std::move(game).failure();
    }
    if (!ReadVersionDescription(request_.gamePath, request_.gameVersion, game_)) {
      return Fail(FailureKind::NotFound, msg::LoaderGameDescriptionMissing(request_.gameVersion));
    }
    return profile->format == InstallerProfile::Format::Legacy ? InstallLegacy(*installer, *profile)
                                                                : InstallCurrent(*installer, installerPath, *profile);
  }

 private:
  Failure Invalid(const std::string& reason) const {
    return Fail(FailureKind::Invalid, msg::InstallerInvalid(loader_, reason));
  }

  // The description the installer carries, checked before anything is written for it.
  Result<VersionDescription> ReadDescription(const std::string& bytes) const {
    VersionDescription description;
    if (!ParseVersionDescription(bytes, description) || !IsInstallableDescription(description, request_.gameVersion)) {
      return Fail(FailureKind::Invalid, msg::LoaderDescriptionInvalid(loader_, request_.loaderVersion));
    }
    return description;
  }

  Result<std::string> Place(const VersionDescription& description, const std::string& bytes) const {
    if (Status placed = PlaceDescription(request_.gamePath, description.id, bytes); !placed) {
      return std::move(placed).failure();
    }
    return description.id;
  }

  // Up to 1.12.2: the description is "versionInfo"; the loader's own jar is in the installer.
  Result<std::string> InstallLegacy(const ZipArchive& installer, const InstallerProfile& profile) {
    Result<VersionDescription> description = ReadDescription(profile.versionInfo);
    if (!description) return std::move(description).failure();
    const std::optional<std::string> entry = SafeEntryName(profile.universalEntry);
    if (!entry || !IsSafeLibraryCoordinate(profile.universalCoordinate)) return Invalid(profile.universalEntry);
    if (Status universal = installer.Extract(*entry, libraries_ + "/" + MavenPath(profile.universalCoordinate));
        !universal) {
      return std::move(universal).failure();
    }
    if (Status libraries = FetchLibraries(request_.gamePath, *description, publishers_, request_.downloads, sink_);
        !libraries) {
      return std::move(libraries).failure();
    }
    return Place(*description, profile.versionInfo);
  }

  Result<std::string> InstallCurrent(const ZipArchive& installer, const std::string& installerPath,
                                     const InstallerProfile& profile) {
    Result<std::string> bytes = installer.Read(profile.descriptionEntry, kDocumentLimit);
    if (!bytes) return Invalid(bytes.message());
    Result<VersionDescription> description = ReadDescription(*bytes);
    if (!description) return std::move(description).failure();
    // The libraries that no repository serves (an empty address) are the installer's own.
    if (Status unpacked = UnpackMaven(installer); !unpacked) return std::move(unpacked).failure();
    VersionDescription needed;
    needed.libraries = profile.libraries;
    for (const LibraryEntry& library : needed.libraries) {
      if (!IsSafeLibrary(library)) return Invalid(library.name);
    }
    needed.libraries.insert(needed.libraries.end(), description->libraries.begin(), description->libraries.end());
    if (Status libraries = FetchLibraries(request_.gamePath, needed, publishers_, request_.downloads, sink_);
        !libraries) {
      return std::move(libraries).failure();
    }
    if (!profile.processors.empty()) {
      if (Status processed = RunTheProcessors(installer, installerPath, profile); !processed) {
        return std::move(processed).failure();
      }
    }
    return Place(*description, *bytes);
  }

  Status UnpackMaven(const ZipArchive& installer) const {
    constexpr std::string_view kMaven = "maven/";
    for (const std::string& name : installer.EntryNames()) {
      if (name.size() <= kMaven.size() || name.compare(0, kMaven.size(), kMaven) != 0 || name.back() == '/') continue;
      const std::optional<std::string> relative = SafeEntryName(std::string_view(name).substr(kMaven.size()));
      if (!relative) return Invalid(name);
      if (Status extracted = installer.Extract(name, libraries_ + "/" + *relative); !extracted) return extracted;
    }
    return {};
  }

  Status RunTheProcessors(const ZipArchive& installer, const std::string& installerPath,
                          const InstallerProfile& profile) {
    const std::string clientJar = VersionJarPath(request_.gamePath, request_.gameVersion);
    if (Status client = ProvideGameClient(clientJar); !client) return client;

    const JavaChoice java = ChooseJava(game_.javaMajorVersion, request_.javaPath, HostJavaSource());
    if (java.path.empty()) return Fail(FailureKind::NotFound, msg::ProcessorJavaMissing(java.requiredMajor));

    const std::string extracted = scratch_.Path() + "/data/";
    ProcessorValues values(libraries_, [&](const std::string& entry) -> Result<std::string> {
      const std::optional<std::string> relative = SafeEntryName(entry);
      if (!relative) return Invalid(entry);
      const std::string path = extracted + *relative;
      if (Status written = installer.Extract(entry, path); !written) return std::move(written).failure();
      return path;
    });
    values.Set("SIDE", "client");
    values.Set("MINECRAFT_JAR", clientJar);
    values.Set("MINECRAFT_VERSION", request_.gameVersion);
    values.Set("ROOT", request_.gamePath);
    values.Set("INSTALLER", installerPath);
    values.Set("LIBRARY_DIR", libraries_);
    for (const auto& [key, raw] : profile.data) {
      if (Status defined = values.Define(key, raw); !defined) return Fail(defined.kind(), msg::InstallerInvalid(loader_, defined.message()));
    }
    const ProcessorRun run{.java = java.path,
                           .workingFolder = scratch_.Path(),
                           .downloadMappings = [this](const std::string& path) { return FetchMappings(path); }};
    return RunProcessors(profile.processors, values, run, sink_);
  }

  // The game's client jar, which the processors read: as a launch provides it.
  Status ProvideGameClient(const std::string& path) const {
    ProvideClientJar(request_.gamePath, game_);
    const RemoteFile* client = ClientDownload(game_);
    if (client == nullptr) {
      return PathExists(path) ? Status() : Fail(FailureKind::NotFound, msg::LoaderGameDescriptionMissing(request_.gameVersion));
    }
    if (GetFileSize(path) == static_cast<std::uint64_t>(client->size)) return {};
    return FetchPlanned({PlannedFile(client->url, path, source_, client->sha1, client->size)}, InstallStep::GameDescription,
                        request_.downloads, sink_);
  }

  // The game's mappings, from its description's "client_mappings" through the source.
  Status FetchMappings(const std::string& path) const {
    const auto mappings = game_.downloads.find("client_mappings");
    if (mappings == game_.downloads.end() || mappings->second.url.empty()) {
      return Fail(FailureKind::NotFound, msg::MappingsFailed(request_.gameVersion, "client_mappings"));
    }
    const RemoteFile& file = mappings->second;
    Status fetched = FetchPlanned({PlannedFile(file.url, path, source_, file.sha1, file.size)}, InstallStep::Processors,
                                  request_.downloads, sink_);
    if (!fetched) return Fail(fetched.kind(), msg::MappingsFailed(request_.gameVersion, fetched.message()));
    return {};
  }

  const LoaderInstallRequest& request_;
  const DownloadSource& source_;
  const DownloadSource publishers_;
  InstallSink& sink_;
  const std::string loader_;
  const std::string libraries_;
  ScratchFolder scratch_;
  VersionDescription game_;
};

}  // namespace

std::string InstallerUrl(LoaderKind kind, const std::string& gameVersion, const std::string& loaderVersion) {
  if (kind == LoaderKind::NeoForge) {
    const std::string project = loaderVersion.rfind(gameVersion + "-", 0) == 0 ? "forge" : "neoforge";
    return "https://maven.neoforged.net/releases/net/neoforged/" + project + "/" + loaderVersion + "/" + project + "-" +
           loaderVersion + "-installer.jar";
  }
  const std::string build = gameVersion + "-" + loaderVersion;
  return "https://maven.minecraftforge.net/net/minecraftforge/forge/" + build + "/forge-" + build + "-installer.jar";
}

Result<std::string> InstallFromInstaller(const LoaderInstallRequest& request, const DownloadSource& source,
                                         InstallSink& sink) {
  const std::string loader(LoaderDisplayName(request.kind));
  if (!IsSafeVersionId(request.gameVersion) || !IsSafeVersionId(request.loaderVersion)) {
    return Fail(FailureKind::Invalid, msg::LoaderVersionMissing(loader, request.loaderVersion, request.gameVersion));
  }
  return Installation(request, source, sink).Run();
}

}  // namespace kv
