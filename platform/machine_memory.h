#pragma once

#include <optional>

namespace kv {

// The machine's physical memory in MB; nothing when the system does not say.
std::optional<int> PhysicalMemoryMb();

}  // namespace kv
