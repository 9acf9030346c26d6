#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "auth/account_server.h"

// The authlib-injector agent: the jar the game runs with when its players come from an
// authlib-injector server. It is fetched from the release index of its distribution, checked
// against the SHA-256 the index gives, kept in the launcher folder and reused.
namespace kv {

// No agent jar is larger; a download that goes on beyond this is refused.
inline constexpr std::uint64_t kAgentJarLimit = 16 * 1024 * 1024;

struct AgentJarResult {
  std::string path;   // the verified jar; empty on failure
  std::string error;  // for the player, on failure
};

// The verified agent jar in `folder` (with a trailing separator), which keeps the jar and what
// the index last said of it. The kept jar serves as long as it matches the recorded SHA-256
// and the index was asked less than a day before `now`. Otherwise the index
// `<root>/artifact/latest.json` of each root in turn is asked: a kept jar with the digest it
// names stays; a different one is downloaded (at most kAgentJarLimit bytes) and kept only when
// its SHA-256 matches. When no index can be asked, a kept jar that matches its record serves.
// A jar that fails its digest is never kept, and without a verified jar there is none.
AgentJarResult ProvideAgentJar(const std::string& folder, const std::vector<std::string>& indexRoots,
                               std::chrono::system_clock::time_point now);

// The JVM arguments that load the agent for `server`, ahead of every other JVM argument:
// "-javaagent:<jar>=<API root>" and the server's metadata, prefetched so that the agent need
// not ask for it, as "-Dauthlibinjector.yggdrasil.prefetched=<Base64 of the metadata>". Metadata
// whose Base64 is longer than kPrefetchLimit is left for the agent to ask for: a command line
// has room for a few kilobytes of it (a Windows one for 32,767 characters in all), not for
// the megabyte a server may send.
inline constexpr std::size_t kPrefetchLimit = 8 * 1024;
std::vector<std::string> AgentJvmArguments(const std::string& jarPath, const AccountServer& server);

}  // namespace kv
