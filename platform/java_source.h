#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where installed Java runtimes come from. Each platform has its own source; the selection
// rules on top of them (first found wins, path normalisation) are the same for all.
namespace kv {

struct JavaRuntime {
  std::string path;     // the java executable
  std::string version;  // as the runtime describes itself, e.g. "17.0.15"
};

class JavaRuntimeSource {
 public:
  virtual ~JavaRuntimeSource() = default;
  // Candidates in order of preference, paths as the source found them.
  virtual std::vector<JavaRuntime> Runtimes() const = 0;
  // The version of the java executable at `javaPath` (one the player chose, say); empty when
  // the source cannot tell. By default, the version of the listed runtime with that path.
  virtual std::string VersionOf(const std::string& javaPath) const;
};

// The major version of a runtime's version text: "1.8.0_352" is 8 (the old numbering), "17.0.15"
// is 17, "21" is 21, "25-ea" is 25. 0 when the text names none.
int JavaMajorVersion(std::string_view version);

// The runtimes really installed on a Linux machine: JAVA_HOME, the java on PATH (links
// resolved), then the runtime folders under the usual roots, each in name order. A runtime
// counts only with an executable bin/java; its version comes from its "release" file, so no
// process is started. A runtime reached twice (by links) is listed once.
class LinuxJavaSource : public JavaRuntimeSource {
 public:
  struct Places {
    std::string javaHome;                // JAVA_HOME
    std::string searchPath;              // PATH
    std::vector<std::string> roots;      // folders whose subfolders are runtimes
  };

  // The places of this process: its environment and the system and per-user folders.
  static Places FromEnvironment();

  explicit LinuxJavaSource(Places places) : places_(std::move(places)) {}
  std::vector<JavaRuntime> Runtimes() const override;
  // Any java executable's version, from the release file of the runtime it belongs to (links
  // resolved).
  std::string VersionOf(const std::string& javaPath) const override;

 private:
  Places places_;
};

const JavaRuntimeSource& HostJavaSource();

// The runtime that `executable` (a java program the player picked) belongs to, with its
// absolute path and version: the version comes from the release file of the runtime's home
// (links resolved), else from what `executable -version` prints. Nothing when the file is not
// an executable Java runtime. May start the program and wait for it: not for the GUI thread.
std::optional<JavaRuntime> ProbeJavaRuntime(const std::string& executable);

}  // namespace kv
