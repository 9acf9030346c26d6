#include "platform/machine_memory.h"

#include <unistd.h>

#include <climits>

namespace kv {

std::optional<int> PhysicalMemoryMb() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return std::nullopt;
  const long long megabytes = static_cast<long long>(pages) * pageSize / (1024 * 1024);
  return megabytes > INT_MAX ? INT_MAX : static_cast<int>(megabytes);
}

}  // namespace kv
