#include "tests/support/agent_server.h"

#include <json/json.h>

#include <mutex>

#include "tests/support/https_server.h"

namespace kv::test {

struct AgentServer::State {
  mutable std::mutex mutex;
  std::string jar;
  std::string sha256;
  std::string version = "1.0.0";
  int build = 1;
  int indexRequests = 0;
  int jarRequests = 0;
  // Last, so that it stops serving before the rest goes.
  HttpsServer https;

  std::string JarPath() const { return "/artifact/" + std::to_string(build) + "/authlib-injector-" + version + ".jar"; }
};

AgentServer::AgentServer(std::string jar, std::string announcedSha256) : state_(std::make_unique<State>()) {
  state_->jar = std::move(jar);
  state_->sha256 = std::move(announcedSha256);
  state_->https.Routes().Get("/artifact/latest.json", [this](const httplib::Request&, httplib::Response& response) {
    std::lock_guard lock(state_->mutex);
    ++state_->indexRequests;
    Json::Value index(Json::objectValue);
    index["build_number"] = state_->build;
    index["version"] = state_->version;
    index["download_url"] = state_->https.BaseUrl() + state_->JarPath();
    index["checksums"]["sha256"] = state_->sha256;
    response.set_content(Json::writeString(Json::StreamWriterBuilder(), index), "application/json");
  });
  state_->https.Routes().Get(R"(/artifact/\d+/.*\.jar)", [this](const httplib::Request& request, httplib::Response& response) {
    std::lock_guard lock(state_->mutex);
    if (request.path != state_->JarPath()) {
      response.status = 404;
      return;
    }
    ++state_->jarRequests;
    response.set_content(state_->jar, "application/java-archive");
  });
  state_->https.Start();
}

AgentServer::~AgentServer() = default;

std::string AgentServer::BaseUrl() const { return state_->https.BaseUrl(); }

void AgentServer::Publish(std::string jar, std::string announcedSha256, std::string version) {
  std::lock_guard lock(state_->mutex);
  state_->jar = std::move(jar);
  state_->sha256 = std::move(announcedSha256);
  state_->version = std::move(version);
  ++state_->build;
}

int AgentServer::IndexRequests() const {
  std::lock_guard lock(state_->mutex);
  return state_->indexRequests;
}

int AgentServer::JarRequests() const {
  std::lock_guard lock(state_->mutex);
  return state_->jarRequests;
}

}  // namespace kv::test
