#include "tests/install/runtime_publisher.h"

#include <json/json.h>

#include <filesystem>

#include "install/java_runtime_install.h"
#include "tests/net/net_test_support.h"
#include "tests/support/temp_folder.h"

namespace kv::test {

std::string ShellJava(const std::string& version) {
  return "#!/bin/sh\n"
         "if [ \"$1\" = -version ]; then echo 'openjdk version \"" + version + "\" 2024-04-16' >&2; exit 0; fi\n"
         "echo \"java ran: $*\"\n";
}

std::string SmallRuntimeLibrary(const std::string& version) { return "libjsig of " + version + "\n" + TestBytes(3000, 7); }

void RuntimePublisher::AddSmallRuntime(const std::string& version) {
  AddDirectory("bin");
  AddFile("bin/java", ShellJava(version), true);
  AddFile("release", "IMPLEMENTOR=\"Test\"\nJAVA_VERSION=\"" + version + "\"\n");
  AddFile("lib/libjsig.so", SmallRuntimeLibrary(version));
  AddDirectory("legal");
  AddLink("lib/server/libjsig.so", "../libjsig.so");
}

void RuntimePublisher::AddFile(const std::string& path, const std::string& bytes, bool executable) {
  entries_[path] = {"file", bytes, executable, {}};
}

void RuntimePublisher::AddDirectory(const std::string& path) { entries_[path] = {"directory", {}, false, {}}; }

void RuntimePublisher::AddLink(const std::string& path, const std::string& target) {
  entries_[path] = {"link", {}, false, target};
}

std::string RuntimePublisher::ServedPathOf(const std::string& url) const {
  return root_ + "/official/" + url.substr(url.find("://") + 3);
}

std::string RuntimePublisher::FileAddressOf(const std::string& path) const { return published_.at(path); }

void RuntimePublisher::Publish(const std::string& component, const std::string& versionName,
                               const std::string& platform) {
  Json::Value files(Json::objectValue);
  published_.clear();
  for (const auto& [path, entry] : entries_) {
    Json::Value described;
    described["type"] = entry.type;
    if (entry.type == "file") {
      const std::string sha1 = Sha1Of(entry.bytes);
      const std::string url = "https://piston-data.mojang.com/v1/objects/" + sha1 + "/" +
                              std::filesystem::path(path).filename().string();
      WriteFile(ServedPathOf(url), entry.bytes);
      published_[path] = url;
      described["executable"] = entry.executable;
      described["downloads"]["raw"]["url"] = url;
      described["downloads"]["raw"]["sha1"] = sha1;
      described["downloads"]["raw"]["size"] = static_cast<Json::Int64>(entry.bytes.size());
    } else if (entry.type == "link") {
      described["target"] = entry.target;
    }
    files[path] = described;
  }
  Json::Value manifest;
  manifest["files"] = files;
  const std::string manifestText = Json::FastWriter().write(manifest);
  const std::string manifestSha1 = Sha1Of(manifestText);
  const std::string manifestUrl = "https://piston-meta.mojang.com/v1/packages/" + manifestSha1 + "/manifest.json";
  WriteFile(ServedPathOf(manifestUrl), manifestText);

  Json::Value index;
  Json::Reader().parse(index_, index);
  Json::Value offered;
  offered["availability"]["group"] = 1;
  offered["availability"]["progress"] = 100;
  offered["manifest"]["url"] = manifestUrl;
  offered["manifest"]["sha1"] = manifestSha1;
  offered["manifest"]["size"] = static_cast<Json::Int64>(manifestText.size());
  offered["version"]["name"] = versionName;
  offered["version"]["released"] = "2025-05-19T08:24:16+00:00";
  index[platform][component] = Json::Value(Json::arrayValue);
  index[platform][component].append(offered);
  index_ = Json::FastWriter().write(index);
  WriteFile(ServedPathOf(kRuntimeIndexUrl), index_);
  entries_.clear();
}

void RuntimePublisher::Tamper(const std::string& path) {
  const std::string served = ServedPathOf(FileAddressOf(path));
  std::string bytes = ReadFile(served);
  bytes[0] = static_cast<char>(bytes[0] ^ 0x20);
  WriteFile(served, bytes);
}

void RuntimePublisher::Withhold(const std::string& path) {
  std::error_code error;
  std::filesystem::remove(ServedPathOf(FileAddressOf(path)), error);
}

}  // namespace kv::test
