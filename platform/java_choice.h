#pragma once

#include <string>

#include "platform/java_source.h"

// Which Java runtime a version is started with.
namespace kv {

struct JavaChoice {
  std::string path;         // the java to start; empty when none fits
  int requiredMajor = 8;    // the major version the version asks for
  bool newerAllowed = false;
  std::string reason;       // why this one (or that none fits), for the player
};

// A version names the major version it needs (`versionMajor`, its javaVersion); a newer one
// serves it too. A version that names none (1.16 and older) needs Java 8 exactly. The player's
// `configuredPath` (empty when the settings name none) is used when its major fits, or when
// its version cannot be read; otherwise, among the runtimes `source` lists, the first with
// the required major, else the lowest newer one where that is allowed.
JavaChoice ChooseJava(int versionMajor, const std::string& configuredPath, const JavaRuntimeSource& source);

}  // namespace kv
