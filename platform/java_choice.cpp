#include "platform/java_choice.h"

#include "util/messages.h"

namespace kv {

JavaChoice ChooseJava(int versionMajor, const std::string& configuredPath, const JavaRuntimeSource& source) {
  JavaChoice choice;
  choice.newerAllowed = versionMajor > 0;
  choice.requiredMajor = choice.newerAllowed ? versionMajor : 8;
  auto fits = [&choice](int major) {
    return major == choice.requiredMajor || (choice.newerAllowed && major > choice.requiredMajor);
  };

  int configuredMajor = 0;
  if (!configuredPath.empty()) {
    configuredMajor = JavaMajorVersion(source.VersionOf(configuredPath));
    if (configuredMajor == 0 || fits(configuredMajor)) {
      choice.path = configuredPath;
      choice.reason = configuredMajor == 0 ? msg::JavaConfiguredOfUnknownVersion(choice.requiredMajor)
                                           : msg::JavaConfiguredFits(configuredMajor, choice.requiredMajor);
      return choice;
    }
  }

  const std::vector<JavaRuntime> runtimes = source.Runtimes();
  const JavaRuntime* newer = nullptr;
  int newerMajor = 0;
  for (const JavaRuntime& runtime : runtimes) {
    const int major = JavaMajorVersion(runtime.version);
    if (major == choice.requiredMajor) {
      choice.path = runtime.path;
      choice.reason = msg::JavaFoundExact(choice.requiredMajor, configuredMajor);
      return choice;
    }
    if (fits(major) && (newer == nullptr || major < newerMajor)) {
      newer = &runtime;
      newerMajor = major;
    }
  }
  if (newer != nullptr) {
    choice.path = newer->path;
    choice.reason = msg::JavaFoundNewer(choice.requiredMajor, newerMajor, configuredMajor);
    return choice;
  }
  choice.reason = msg::JavaMissing(choice.requiredMajor, choice.newerAllowed);
  return choice;
}

}  // namespace kv
