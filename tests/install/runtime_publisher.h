#pragma once

#include <map>
#include <string>
#include <vector>

// A Java runtime published the way the game's publisher publishes them, into a folder that
// korvane-mirror serves as the publisher's hosts (KORVANE_OFFICIAL_ROOT = its base + "/official"):
// each file under its SHA-1, the runtime's manifest, and the index naming it. Link
// kv_test_runtime to use it.
namespace kv::test {

// A java program for a runtime made in a test: a shell script that answers -version as a
// runtime of `version` does and, run any other way, prints "java ran: " and its arguments.
std::string ShellJava(const std::string& version);

// The library of AddSmallRuntime's runtime of `version`: every version's differs.
std::string SmallRuntimeLibrary(const std::string& version);

class RuntimePublisher {
 public:
  // `servedRoot`: the folder korvane-mirror serves.
  explicit RuntimePublisher(std::string servedRoot) : root_(std::move(servedRoot)) {}

  // A small runtime of Java `version`: bin/java (ShellJava, run bits), release, a library, a
  // folder with nothing in it and a link from lib/server/ to the library.
  void AddSmallRuntime(const std::string& version);
  void AddFile(const std::string& path, const std::string& bytes, bool executable = false);
  void AddDirectory(const std::string& path);
  void AddLink(const std::string& path, const std::string& target);

  // Writes the runtime's files and manifest and names it in the index as `component` for
  // `platform`, beside the runtimes published before. Starts a new runtime for the next Add*.
  void Publish(const std::string& component, const std::string& versionName, const std::string& platform);

  // The published file of `path` answers with other bytes of its size (its SHA-1 no longer
  // matches), or not at all.
  void Tamper(const std::string& path);
  void Withhold(const std::string& path);

  // The addresses a runtime's file and manifest are published at, below the served root.
  std::string FileAddressOf(const std::string& path) const;

 private:
  struct Entry {
    std::string type;
    std::string bytes;  // a file's
    bool executable = false;
    std::string target;  // a link's
  };
  std::string ServedPathOf(const std::string& url) const;

  std::string root_;
  std::map<std::string, Entry> entries_;
  std::map<std::string, std::string> published_;  // file path -> its address, of the last runtime
  std::string index_ = "{}";
};

}  // namespace kv::test
