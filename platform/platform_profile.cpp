#include "platform/platform_profile.h"

#include <sys/utsname.h>

#include <string_view>

namespace kv {

const PlatformProfile& PlatformProfile::Windows() {
  static const PlatformProfile profile{'\\', ';', "windows", "natives-windows", ".exe", "windows", false, true, true};
  return profile;
}

const PlatformProfile& PlatformProfile::Linux() {
  static const PlatformProfile profile{'/', ':', "linux", "natives-linux", "", "linux", true, false, false};
  return profile;
}

const PlatformProfile& PlatformProfile::Host() { return Linux(); }

std::string FolderToJoinOnto(std::string folder, const PlatformProfile& profile) {
  if (profile.joinsOntoTrailingSeparator) return folder;
  while (folder.size() > 1 && folder.back() == profile.separator) folder.pop_back();
  return folder;
}

int NativeBitness() {
  struct utsname info {};
  if (::uname(&info) != 0) return sizeof(void*) == 8 ? 64 : 32;
  std::string_view machine = info.machine;
  for (std::string_view wide : {"x86_64", "aarch64", "ia64", "ppc64", "ppc64le", "s390x",
                                "riscv64", "mips64", "loongarch64", "sparc64"}) {
    if (machine == wide) return 64;
  }
  return 32;
}

std::string HostProcessor() {
  struct utsname info {};
  return ::uname(&info) == 0 ? std::string(info.machine) : std::string();
}

std::string HostOsVersion() {
  struct utsname info {};
  return ::uname(&info) == 0 ? std::string(info.release) : std::string();
}

}  // namespace kv
