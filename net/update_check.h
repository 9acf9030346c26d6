#pragma once

#include <functional>
#include <optional>
#include <string>

// Whether a newer launcher is published, and handing over to the updater program, which
// downloads launchers and Java runtimes; the launcher itself installs neither.
namespace kv {

inline constexpr const char* kLauncherVersion = "0.1.3";

// A version text with every "." removed, read as atoi reads: "0.1.3" is 13, "0.1.10" is 110.
int VersionNumber(const std::string& text);

// Fetches a small text; false when the transfer (or the HTTP status) failed.
using TextFetcher = std::function<bool(const std::string& url, std::string& body)>;

// The published version text when it is newer than this launcher's. A reply that does not
// look like a version (an error page, an empty body) never offers an update.
std::optional<std::string> FindNewerVersion(const std::string& versionFileUrl, const TextFetcher& fetch);

// The updater's command lines.
std::string UpdateCommandLine(const std::string& publishedVersion);  // "Update:<version>"
inline constexpr const char* kDownloadJavaCommandLine = "DownLoadJava";

// Starts the updater of `folder` ("Update" plus the executable suffix) with the command line
// as its argument and the folder as working folder, without waiting for it. False when it
// could not be started.
bool StartUpdater(const std::string& folder, const std::string& executableSuffix,
                  const std::string& commandLine);

}  // namespace kv
