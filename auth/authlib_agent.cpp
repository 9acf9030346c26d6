#include "auth/authlib_agent.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "meta/json_document.h"
#include "net/transfers.h"
#include "net/url_encoding.h"
#include "platform/diagnostic_log.h"
#include "util/ascii_text.h"
#include "util/base64.h"
#include "util/digest.h"
#include "util/files.h"
#include "util/messages.h"

namespace kv {
namespace {

constexpr const char* kJarName = "authlib-injector.jar";
constexpr const char* kRecordName = "authlib-injector.json";
constexpr std::chrono::hours kIndexInterval{24};

// What the index said of the kept jar, and when it was last asked.
struct AgentRecord {
  std::string version;
  std::string sha256;
  std::int64_t checked = 0;  // seconds since the epoch
};

// A release as the index describes it.
struct AgentRelease {
  std::string version;
  std::string url;
  std::string sha256;
};

std::int64_t Seconds(std::chrono::system_clock::time_point time) {
  return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

bool IsSha256(const std::string& digest) {
  return digest.size() == 64 && std::all_of(digest.begin(), digest.end(), [](char ch) {
           return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f');
         });
}

bool FileHasDigest(const std::string& path, const std::string& sha256) {
  const std::optional<std::string> digest = Sha256HexOfFile(path);
  return digest && *digest == sha256;
}

std::optional<AgentRecord> ReadRecord(const std::string& path) {
  Json::Value root;
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text || !json::ParseDocument(*text, root) || !root.isObject()) return std::nullopt;
  AgentRecord record;
  record.version = json::Text(json::Member(root, "version"));
  record.sha256 = json::Text(json::Member(root, "sha256"));
  const Json::Value& checked = json::Member(root, "checked");
  record.checked = checked.isIntegral() ? checked.asInt64() : 0;
  if (!IsSha256(record.sha256)) return std::nullopt;
  return record;
}

bool WriteRecord(const std::string& path, const AgentRecord& record) {
  Json::Value root(Json::objectValue);
  root["version"] = record.version;
  root["sha256"] = record.sha256;
  root["checked"] = Json::Int64(record.checked);
  return WriteFileAtomically(path, json::WriteDocument(root));
}

// The index's latest release; nothing when it cannot be fetched or does not describe one.
std::optional<AgentRelease> AskIndex(const std::string& root) {
  std::string body;
  if (!FetchToBuffer(body, root + "/artifact/latest.json")) return std::nullopt;
  Json::Value index;
  if (!json::ParseDocument(body, index) || !index.isObject()) return std::nullopt;
  AgentRelease release;
  release.version = json::Text(json::Member(index, "version"));
  release.url = json::Text(json::Member(index, "download_url"));
  release.sha256 = AsciiLower(json::Text(json::Member(json::Member(index, "checksums"), "sha256")));
  if (!IsWebAddress(release.url) || !IsSha256(release.sha256)) return std::nullopt;
  return release;
}

}  // namespace

AgentJarResult ProvideAgentJar(const std::string& folder, const std::vector<std::string>& indexRoots,
                               std::chrono::system_clock::time_point now) {
  const std::string jar = folder + kJarName;
  const std::string recordPath = folder + kRecordName;
  const std::optional<AgentRecord> record = ReadRecord(recordPath);
  const bool kept = record && FileHasDigest(jar, record->sha256);
  const std::int64_t age = kept ? Seconds(now) - record->checked : 0;
  // A record from the future (a clock set back) is as good as an old one.
  if (kept && age >= 0 && age < std::chrono::duration_cast<std::chrono::seconds>(kIndexInterval).count()) {
    return {jar, {}};
  }

  bool mismatch = false;
  for (const std::string& root : indexRoots) {
    const std::optional<AgentRelease> release = AskIndex(root);
    if (!release) {
      LogLine(LogLevel::Warning, "The agent's release index at " + root + " could not be read");
      continue;
    }
    const AgentRecord fresh{release->version, release->sha256, Seconds(now)};
    if (kept && record->sha256 == release->sha256) {
      WriteRecord(recordPath, fresh);
      return {jar, {}};
    }
    const std::string part = jar + ".part";
    if (!DownloadToFile(part, release->url, kConnectTimeout, kAgentJarLimit)) {
      LogLine(LogLevel::Warning, "The agent could not be downloaded from " + release->url);
      continue;
    }
    if (!FileHasDigest(part, release->sha256)) {
      std::error_code error;
      std::filesystem::remove(part, error);
      LogLine(LogLevel::Error, "The agent from " + release->url + " does not match its SHA-256; not kept");
      mismatch = true;
      continue;
    }
    std::error_code error;
    std::filesystem::rename(part, jar, error);
    if (error || !WriteRecord(recordPath, fresh)) {
      std::filesystem::remove(part, error);
      continue;
    }
    LogLine(LogLevel::Info, "The agent " + release->version + " is kept as " + jar);
    return {jar, {}};
  }
  if (kept && !mismatch) return {jar, {}};
  return {{}, mismatch ? msg::kAgentChecksumMismatch : msg::kAgentUnavailable};
}

std::vector<std::string> AgentJvmArguments(const std::string& jarPath, const AccountServer& server) {
  std::vector<std::string> arguments{"-javaagent:" + jarPath + "=" + server.apiRoot};
  const std::string prefetched = StandardBase64Encode(server.metadata);
  if (prefetched.size() <= kPrefetchLimit) arguments.push_back("-Dauthlibinjector.yggdrasil.prefetched=" + prefetched);
  return arguments;
}

}  // namespace kv
