// Compiled into every test program: the publisher's hosts and the China mirror stand at a
// closed local port from the start, so that nothing a test does can reach them. A test that
// serves them sets its own; child processes inherit the setting.
#include <stdlib.h>

namespace {

const bool kHostsClosed = [] {
  ::setenv("KORVANE_OFFICIAL_ROOT", "http://127.0.0.1:9", 0);
  ::setenv("KORVANE_BMCLAPI_ROOT", "http://127.0.0.1:9", 0);
  return true;
}();

}  // namespace
