#pragma once

#include <string>

// What differs between the Windows layout of the game folder and command line and the host's.
// The Windows values are kept so that paths, the download plan and the command line can be
// checked against what the Windows build produces, byte for byte.
namespace kv {

struct PlatformProfile {
  char separator;                  // where paths use a backslash on Windows
  char classPathSeparator;
  std::string nativesMember;       // the member of a library's "natives" object to read
  std::string nativesClassifier;   // the jar classifier of a native library
  std::string executableSuffix;    // of java, the package tool and the updater
  std::string osName;              // the "os" name that library rules compare with
  bool honoursLibraryRules;        // the Windows build takes every library regardless of rules
  bool startsThroughShell;         // Windows: Cmd.exe /C "<command>"; Linux: argv, no shell
  // Windows: paths are joined onto the game folder as the settings hold it, its trailing
  // backslash and all (".minecraft\/../Instance/..."), as that build forms them.
  bool joinsOntoTrailingSeparator;

  static const PlatformProfile& Windows();
  static const PlatformProfile& Linux();
  static const PlatformProfile& Host();
};

// The game folder that the paths handed to the game are joined onto: as it stands where the
// profile joins onto a trailing separator, else without its trailing separators (the root
// folder stays "/"), so that no joined path holds a doubled one.
std::string FolderToJoinOnto(std::string folder, const PlatformProfile& profile);

// 64 or 32: the bitness of the operating system (not of this process).
int NativeBitness();

// The processor as the operating system names it ("x86_64", "i686", "aarch64"); empty when
// the system does not say.
std::string HostProcessor();

// The operating system's version as rules compare it: the kernel's release on Linux. Empty
// when the system does not say.
std::string HostOsVersion();

}  // namespace kv
