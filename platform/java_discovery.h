#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/java_source.h"

// Finding the Java runtime the game runs with. The first runtime a source lists wins; no
// version comparison takes place.
namespace kv {

// One installed product as the Windows "Uninstall" registry key lists it.
struct UninstallEntry {
  std::string displayIcon;
  std::string displayName;
  std::string displayVersion;
  std::string installLocation;
  std::string publisher;
};

// An Oracle Java runtime: icon and version present, "Java" in the name and "Oracle" in the
// publisher (both case-sensitive).
bool IsJavaRuntimeEntry(const UninstallEntry& entry);

// Every "\\" pair becomes one backslash (until none is left), then "javaws.exe" becomes
// "java.exe". Nothing else changes.
std::string NormaliseJavaPath(std::string path);

// Registry views of the Uninstall key.
enum class RegistryView { Bits64 = 0x100, Bits32 = 0x200 };

// Appends the entries of one registry view; false when the key cannot be opened.
using UninstallEnumerator = std::function<bool(RegistryView, std::vector<UninstallEntry>&)>;

// The 64-bit view first on a 64-bit system, then on every system the 32-bit view.
std::vector<UninstallEntry> CollectUninstallEntries(const UninstallEnumerator& enumerate,
                                                    int nativeBitness);

// The Windows source: Java runtime entries of the Uninstall key, paths as the icon states.
class UninstallJavaSource : public JavaRuntimeSource {
 public:
  UninstallJavaSource(UninstallEnumerator enumerate, int nativeBitness)
      : enumerate_(std::move(enumerate)), bitness_(nativeBitness) {}
  std::vector<JavaRuntime> Runtimes() const override;

 private:
  UninstallEnumerator enumerate_;
  int bitness_;
};

// The first runtime: its raw path and version. False, with both left untouched, when none.
bool FindDefaultJava(const JavaRuntimeSource& source, std::string& path, std::string& version);

// Every runtime with its path normalised, in the source's order; duplicates stay.
void ListJavaRuntimes(const JavaRuntimeSource& source, std::vector<JavaRuntime>& runtimes);

}  // namespace kv
