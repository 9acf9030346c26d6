#include "platform/java_discovery.h"

#include <utility>

namespace kv {
namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

}  // namespace

std::string JavaRuntimeSource::VersionOf(const std::string& javaPath) const {
  for (const JavaRuntime& runtime : Runtimes()) {
    if (runtime.path == javaPath) return runtime.version;
  }
  return {};
}

int JavaMajorVersion(std::string_view version) {
  auto leadingNumber = [](std::string_view text) {
    int number = 0;
    std::size_t digits = 0;
    while (digits < text.size() && digits < 4 && text[digits] >= '0' && text[digits] <= '9') {
      number = number * 10 + (text[digits] - '0');
      ++digits;
    }
    return std::pair<int, std::size_t>{number, digits};
  };
  auto [first, digits] = leadingNumber(version);
  if (digits == 0) return 0;
  // Before Java 9 the major version came second: 1.8.0_352.
  if (first == 1 && digits < version.size() && version[digits] == '.') {
    return leadingNumber(version.substr(digits + 1)).first;
  }
  return first;
}

bool IsJavaRuntimeEntry(const UninstallEntry& entry) {
  return !entry.displayIcon.empty() && !entry.displayVersion.empty() &&
         entry.displayName.find("Java") != std::string::npos &&
         entry.publisher.find("Oracle") != std::string::npos;
}

std::string NormaliseJavaPath(std::string path) {
  while (path.find("\\\\") != std::string::npos) ReplaceAll(path, "\\\\", "\\");
  ReplaceAll(path, "javaws.exe", "java.exe");
  return path;
}

std::vector<UninstallEntry> CollectUninstallEntries(const UninstallEnumerator& enumerate,
                                                    int nativeBitness) {
  std::vector<UninstallEntry> entries;
  if (nativeBitness == 64) enumerate(RegistryView::Bits64, entries);
  enumerate(RegistryView::Bits32, entries);
  return entries;
}

std::vector<JavaRuntime> UninstallJavaSource::Runtimes() const {
  std::vector<JavaRuntime> runtimes;
  for (const UninstallEntry& entry : CollectUninstallEntries(enumerate_, bitness_)) {
    if (IsJavaRuntimeEntry(entry)) runtimes.push_back({entry.displayIcon, entry.displayVersion});
  }
  return runtimes;
}

bool FindDefaultJava(const JavaRuntimeSource& source, std::string& path, std::string& version) {
  std::vector<JavaRuntime> runtimes = source.Runtimes();
  if (runtimes.empty()) return false;
  path = runtimes.front().path;
  version = runtimes.front().version;
  return true;
}

void ListJavaRuntimes(const JavaRuntimeSource& source, std::vector<JavaRuntime>& runtimes) {
  runtimes.clear();
  for (JavaRuntime& runtime : source.Runtimes()) {
    runtime.path = NormaliseJavaPath(std::move(runtime.path));
    runtimes.push_back(std::move(runtime));
  }
}

}  // namespace kv
