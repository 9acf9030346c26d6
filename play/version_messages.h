#pragma once

#include <string>

#include "meta/version_inheritance.h"

namespace kv {

// What the player is told when a version's description, with the chain it extends, cannot be
// read (anything but Resolved).
std::string VersionFailureMessage(const InheritanceResult& result);

}  // namespace kv
