#pragma once

#include <httplib.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tools/mirror/mirror_options.h"

// The mirror server: serves a folder in the mirror layout over HTTP with the faults of its
// options, and logs every request.
namespace kv::mirror {

class MirrorServer {
 public:
  explicit MirrorServer(MirrorOptions options);

  // Binds the address and port of the options; returns the port, or -1.
  int Bind();
  // Serves until the process ends.
  void Serve();

 private:
  struct StatusRule {
    StatusFault fault;
    std::shared_ptr<std::atomic<int>> served;
  };

  void HandleGet(const httplib::Request& request, httplib::Response& response);
  bool AnswerWithFault(const std::string& path, httplib::Response& response);
  void Log(const httplib::Request& request, const httplib::Response& response);

  MirrorOptions options_;
  std::vector<StatusRule> statusRules_;
  httplib::Server server_;
  socket_t listeningSocket_ = INVALID_SOCKET;
  std::mutex logMutex_;
};

// What a request for a folder is answered with: the file of this name in it, where there is
// one. It serves a document whose address is also the folder of others.
inline constexpr const char* kFolderDocument = ".index";

// The file below `root` that a request path names (for a folder, its kFolderDocument), or
// empty when the path would leave the root or names something else than a regular file.
std::string ResolveServedFile(const std::string& root, const std::string& requestPath);

}  // namespace kv::mirror
