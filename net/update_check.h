#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Whether a newer launcher is published, and handing over to the updater program, which
// downloads launchers and Java runtimes; the launcher itself installs neither.
namespace kv {

// This launcher's version, as the build names it.
std::string_view LauncherVersion();

// Compares dotted versions part by part as numbers: negative when `a` is older, 0 when they
// are the same, positive when `a` is newer. "0.2" is newer than "0.1.10"; "1.0" equals "1".
// A part beyond the int range counts as the largest int.
int CompareVersions(std::string_view a, std::string_view b);

// Fetches a small text; false when the transfer (or the HTTP status) failed.
using TextFetcher = std::function<bool(const std::string& url, std::string& body)>;

// The published version, without the blanks and line end around it, when it is newer than
// this launcher's. A reply that does not look like a version (an error page, an empty body)
// never offers an update.
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
