#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

// korvane-mirror started for one test: serves `root` on a free loopback port until the object
// goes. `options` are further command-line options (faults: "--drop", "/path=100", ...).
// Link kv_test_mirror to use it.
namespace kv::test {

class MirrorProcess {
 public:
  explicit MirrorProcess(const std::string& root, const std::vector<std::string>& options = {});
  ~MirrorProcess();
  MirrorProcess(const MirrorProcess&) = delete;
  MirrorProcess& operator=(const MirrorProcess&) = delete;

  // False when the server did not start (the test then fails with the server's log).
  bool Started() const { return !baseUrl_.empty(); }
  // "http://127.0.0.1:<port>", without a trailing slash: the mirror base.
  const std::string& BaseUrl() const { return baseUrl_; }

  // The request log so far: one line per request, "<address>:<port> <METHOD> <path>[ <range>] <status>".
  std::string Log() const;
  // How many requests with this method ("GET", "HEAD") named this path.
  int CountRequests(const std::string& method, const std::string& path) const;
  // How many different client connections (address and port) the log shows.
  int CountConnections() const;

 private:
  TempFolder folder_;
  pid_t pid_ = -1;
  int output_ = -1;
  std::string baseUrl_;
};

}  // namespace kv::test
