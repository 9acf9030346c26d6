#include "tests/net/engine_test_support.h"

namespace kv::test {

using namespace std::chrono_literals;

DownloadOptions FastRetries() {
  DownloadOptions options;
  options.firstRetryDelay = 20ms;
  options.longestRetryDelay = 100ms;
  options.failuresBeforeGivingUp = 4;
  options.tickInterval = 50ms;
  return options;
}

}  // namespace kv::test
