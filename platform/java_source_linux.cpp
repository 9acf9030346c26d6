#include "platform/java_source.h"

#include "platform/child_process.h"
#include "platform/launcher_folder.h"
#include "util/messages.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>
#include <system_error>

namespace kv {
namespace fs = std::filesystem;
namespace {

bool IsExecutableFile(const fs::path& file) {
  std::error_code error;
  return fs::is_regular_file(file, error) && ::access(file.c_str(), X_OK) == 0;
}

// JAVA_VERSION="17.0.15" from the runtime's release file; empty when there is none.
std::string ReleaseVersion(const fs::path& home) {
  std::ifstream release(home / "release");
  std::string line;
  constexpr std::string_view kKey = "JAVA_VERSION=";
  while (std::getline(release, line)) {
    if (line.compare(0, kKey.size(), kKey) != 0) continue;
    std::string value = line.substr(kKey.size());
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return {};
}

// The version of a java executable: from the release file of the runtime it really belongs to
// (bin/java may be a link into it), else of the folder it stands in.
std::string VersionOfJava(const fs::path& java) {
  std::error_code error;
  const fs::path real = fs::canonical(java, error);
  std::string version;
  if (!error) version = ReleaseVersion(real.parent_path().parent_path());
  if (version.empty()) version = ReleaseVersion(java.parent_path().parent_path());
  return version;
}

class Collector {
 public:
  // `home` is a runtime folder candidate; it counts when home/bin/java is executable.
  void AddHome(const fs::path& home, JavaOrigin origin) {
    fs::path java = home / "bin" / "java";
    if (!IsExecutableFile(java)) return;
    std::error_code error;
    fs::path real = fs::canonical(java, error);
    if (error || !seen_.insert(real.string()).second) return;
    const std::string version = VersionOfJava(java);
    // The game runs in its instance folder: a path relative to this process's folder (a
    // JAVA_HOME of "jdk") would name nothing there.
    runtimes_.push_back({fs::absolute(java, error).lexically_normal().string(), version, origin});
  }

  std::vector<JavaRuntime> Take() { return std::move(runtimes_); }

 private:
  std::set<std::string> seen_;
  std::vector<JavaRuntime> runtimes_;
};

}  // namespace

LinuxJavaSource::Places LinuxJavaSource::FromEnvironment() {
  Places places;
  if (const char* home = std::getenv("JAVA_HOME")) places.javaHome = home;
  if (const char* path = std::getenv("PATH")) places.searchPath = path;
  places.roots = {"/usr/lib/jvm", "/usr/java", "/opt"};
  places.launcherRuntimes = LauncherRuntimesFolder(GetLauncherFolder());
  if (const char* user = std::getenv("HOME"); user != nullptr && *user == '/') {
    std::string base = user;
    places.roots.push_back(base + "/.jdks");
    places.roots.push_back(base + "/.sdkman/candidates/java");
    places.roots.push_back(base + "/.local/share/java");
  }
  return places;
}

std::vector<JavaRuntime> LinuxJavaSource::Runtimes() const {
  Collector collector;
  if (!places_.javaHome.empty()) collector.AddHome(places_.javaHome, JavaOrigin::JavaHome);

  std::string_view path = places_.searchPath;
  while (!path.empty()) {
    std::size_t colon = path.find(':');
    std::string_view folder = path.substr(0, colon);
    path = colon == std::string_view::npos ? std::string_view() : path.substr(colon + 1);
    if (folder.empty()) continue;
    fs::path java = fs::path(folder) / "java";
    if (!IsExecutableFile(java)) continue;
    std::error_code error;
    fs::path real = fs::canonical(java, error);
    if (!error) collector.AddHome(real.parent_path().parent_path(), JavaOrigin::SearchPath);
    break;  // only the java that a shell would run
  }

  const auto addFolders = [&collector](const std::string& root, JavaOrigin origin) {
    std::error_code error;
    std::vector<fs::path> homes;
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
      homes.push_back(it->path());
    }
    std::sort(homes.begin(), homes.end());
    for (const fs::path& home : homes) collector.AddHome(home, origin);
  };
  for (const std::string& root : places_.roots) addFolders(root, JavaOrigin::System);
  if (!places_.launcherRuntimes.empty()) addFolders(places_.launcherRuntimes, JavaOrigin::Launcher);
  return collector.Take();
}

std::string LinuxJavaSource::VersionOf(const std::string& javaPath) const {
  return javaPath.empty() ? std::string() : VersionOfJava(javaPath);
}

namespace {

// Reads the environment at every search, so a JAVA_HOME set after start-up is seen.
class HostSource : public JavaRuntimeSource {
 public:
  std::vector<JavaRuntime> Runtimes() const override {
    return LinuxJavaSource(LinuxJavaSource::FromEnvironment()).Runtimes();
  }
  std::string VersionOf(const std::string& javaPath) const override {
    return LinuxJavaSource(LinuxJavaSource::FromEnvironment()).VersionOf(javaPath);
  }
};

}  // namespace

const JavaRuntimeSource& HostJavaSource() {
  static const HostSource source;
  return source;
}

namespace {

// The version in what `java -version` prints: `openjdk version "17.0.15" 2025-04-15`.
std::string VersionFromBanner(const std::string& banner) {
  constexpr std::string_view kMarker = "version \"";
  const std::size_t start = banner.find(kMarker);
  if (start == std::string::npos) return {};
  const std::size_t from = start + kMarker.size();
  const std::size_t end = banner.find('"', from);
  if (end == std::string::npos || end - from > 64) return {};
  return banner.substr(from, end - from);
}

// What `executable -version` says its version is: empty when it says none, or ends with an
// error. Unsupported when the program cannot be started at all.
Result<std::string> VersionFromRun(const std::string& executable) {
  constexpr std::chrono::seconds kPatience{15};
  constexpr std::size_t kEnough = 64 * 1024;
  std::string error;
  std::optional<ChildProcess> child = ChildProcess::Start({executable, "-version"}, ".", error);
  if (!child) return Fail(FailureKind::Unsupported, msg::JavaProgramDoesNotStart(error));
  std::string banner;
  char buffer[4096];
  while (banner.size() < kEnough) {
    const std::optional<std::size_t> read = child->ReadOutputFor(buffer, sizeof buffer, kPatience);
    if (!read) {
      child->Kill();
      break;
    }
    if (*read == 0) break;
    banner.append(buffer, *read);
  }
  if (banner.size() >= kEnough) child->Kill();
  const int status = child->Wait();
  return status == 0 ? VersionFromBanner(banner) : std::string();
}

}  // namespace

Status CheckJavaProgramFile(const std::string& executable) {
  std::error_code error;
  if (executable.empty() || !fs::exists(executable, error)) return Fail(FailureKind::NotFound, msg::kJavaProgramMissing);
  if (!IsExecutableFile(executable)) return Fail(FailureKind::Refused, msg::kJavaProgramNotRunnable);
  return {};
}

Result<JavaRuntime> InspectJavaProgram(const std::string& executable) {
  if (Status file = CheckJavaProgramFile(executable); !file) return std::move(file).failure();
  std::error_code error;
  const fs::path path = fs::absolute(executable, error).lexically_normal();
  const fs::path real = fs::canonical(path, error);
  if (error) return Fail(FailureKind::NotFound, msg::kJavaProgramMissing);
  // A runtime's release file vouches only for its java program, not for the other tools in bin.
  // A runtime that has one is taken to run: its program is not started for every question.
  std::string version = real.filename() == "java" ? ReleaseVersion(real.parent_path().parent_path()) : std::string();
  if (version.empty()) {
    Result<std::string> run = VersionFromRun(path.string());
    if (!run) return std::move(run).failure();
    version = std::move(*run);
  }
  return JavaRuntime{path.string(), version};
}

std::optional<JavaRuntime> ProbeJavaRuntime(const std::string& executable) {
  Result<JavaRuntime> runtime = InspectJavaProgram(executable);
  if (!runtime || runtime->version.empty()) return std::nullopt;
  return std::move(*runtime);
}

}  // namespace kv
