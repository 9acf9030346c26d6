#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/result.h"

// Where installed Java runtimes come from. Each platform has its own source; the selection
// rules on top of them (first found wins, path normalisation) are the same for all.
namespace kv {

// Where a runtime was found.
enum class JavaOrigin {
  Other,       // a source that does not say (the Windows registry, a program the player chose)
  JavaHome,    // the JAVA_HOME variable
  SearchPath,  // the java a shell would run
  System,      // a folder where runtimes are installed
  Launcher,    // downloaded by the launcher into its runtime folder
};

struct JavaRuntime {
  std::string path;     // the java executable
  std::string version;  // as the runtime describes itself, e.g. "17.0.15"
  JavaOrigin origin = JavaOrigin::Other;
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
// resolved), then the runtime folders under the usual roots, each in name order, and last the
// runtimes the launcher downloaded into its runtime folder. A runtime
// counts only with an executable bin/java; its version comes from its "release" file, so no
// process is started. A runtime reached twice (by links) is listed once.
class LinuxJavaSource : public JavaRuntimeSource {
 public:
  struct Places {
    std::string javaHome;                // JAVA_HOME
    std::string searchPath;              // PATH
    std::vector<std::string> roots;      // folders whose subfolders are runtimes
    std::string launcherRuntimes{};      // the launcher's runtime folder; its subfolders too
  };

  // The places of this process: its environment, the system and per-user folders and the
  // launcher folder's runtimes.
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

// Whether `executable` is a program that can be run at all, without starting it: NotFound when
// nothing is there, Refused when it is no file one may run (a folder, no run permission). The
// failure's text says which.
Status CheckJavaProgramFile(const std::string& executable);

// What `executable` (a java program the player chose) is: the failures of CheckJavaProgramFile,
// and Unsupported when the system cannot start it (a program for another processor, a script
// whose interpreter is missing). Otherwise its absolute path and version: from the release file
// of the runtime's home (links resolved), else from what `executable -version` prints; an empty
// version when it printed none (it is no Java, or one of an unknown make). May start the
// program and wait for it: not for the GUI thread.
Result<JavaRuntime> InspectJavaProgram(const std::string& executable);

// InspectJavaProgram when it gives a version; nothing otherwise.
std::optional<JavaRuntime> ProbeJavaRuntime(const std::string& executable);

}  // namespace kv
