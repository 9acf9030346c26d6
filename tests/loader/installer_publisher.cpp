#include "tests/loader/installer_publisher.h"

#include <gtest/gtest.h>

#include <set>

#include "game/library_paths.h"
#include "tests/net/net_test_support.h"
#include "tests/net/zip_maker.h"
#include "tests/support/java_tools.h"
#include "tests/support/run_command.h"
#include "util/files.h"

namespace kv::test {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

std::string JarWithMain(const std::string& classes, const std::string& mainClass) {
  return ZipBytes({{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\nMain-Class: " + mainClass + "\r\n\r\n"},
                   {mainClass + ".class", ReadWholeFile(classes + "/" + mainClass + ".class").value_or("")}});
}

// What the stand-in writes for the output that follows `option` among its arguments.
std::string WrittenFor(const Json::Value& processor, const std::string& output) {
  const Json::Value& args = processor["args"];
  for (Json::ArrayIndex i = 1; i < args.size(); ++i) {
    if (args[i].asString() == output) return args[i - 1].asString().substr(2);
  }
  ADD_FAILURE() << "no option writes " << output;
  return {};
}

// The outputs' checksums, which the profile gives as data entries ("{MC_SLIM_SHA}"), become
// those of what the stand-in writes.
void RewriteOutputChecksums(Json::Value& profile) {
  for (const Json::Value& processor : profile["processors"]) {
    if (!processor.isMember("outputs")) continue;
    for (const std::string& output : processor["outputs"].getMemberNames()) {
      const std::string sha = processor["outputs"][output].asString();
      if (sha.size() < 3 || sha.front() != '{') continue;
      const std::string key = sha.substr(1, sha.size() - 2);
      profile["data"][key]["client"] = "'" + Sha1Of(WrittenFor(processor, output)) + "'";
    }
  }
}

void ServeLibraries(const LoaderPublisher& publisher, Json::Value& libraries, const std::function<std::string(const std::string&)>& bytesOf,
                    Entries& maven) {
  for (Json::Value& library : libraries) {
    const std::string coordinate = library["name"].asString();
    const std::string bytes = bytesOf(coordinate);
    Json::Value& artifact = library["downloads"]["artifact"];
    artifact["sha1"] = Sha1Of(bytes);
    artifact["size"] = static_cast<Json::Int64>(bytes.size());
    const std::string url = artifact["url"].asString();
    if (url.empty()) {
      maven.emplace_back("maven/" + artifact["path"].asString(), bytes);
    } else {
      publisher.Serve(url, bytes);
    }
  }
}

void ServeLegacyLibraries(const LoaderPublisher& publisher, const Json::Value& profile, const JarOf& jarOf) {
  const std::string universal = profile["install"]["path"].asString();
  for (const Json::Value& library : profile["versionInfo"]["libraries"]) {
    const std::string coordinate = library["name"].asString();
    if (coordinate == universal) continue;
    const std::string repository = library.isMember("url") ? library["url"].asString() : "https://libraries.minecraft.net/";
    publisher.ServeArtifact(repository, coordinate, jarOf(coordinate));
  }
}

}  // namespace

ProcessorJars CompileProcessorJars(const std::string& folder) {
  const std::string sources = std::string(KORVANE_SOURCE_DIR) + "/tests/loader/processors/";
  const CommandResult compiled = RunCommand(JavaTool("javac"), {"--release", "11", "-d", folder, sources + "TestProcessor.java",
                                                                sources + "FailingProcessor.java"});
  EXPECT_EQ(compiled.status, 0) << compiled.err;
  return {JarWithMain(folder, "TestProcessor"), JarWithMain(folder, "FailingProcessor")};
}

Json::Value ServeInstaller(const LoaderPublisher& publisher, const std::string& installerUrl, Json::Value profile,
                           Json::Value description, const JarOf& jarOf, const std::string& processorJar) {
  Entries entries;
  if (description.isNull()) {
    ServeLegacyLibraries(publisher, profile, jarOf);
    entries.emplace_back(profile["install"]["filePath"].asString(), jarOf(profile["install"]["path"].asString()));
  } else {
    std::set<std::string> processors;
    for (const Json::Value& processor : profile["processors"]) processors.insert(processor["jar"].asString());
    auto bytesOf = [&](const std::string& coordinate) {
      return processors.count(coordinate) != 0 ? processorJar : jarOf(coordinate);
    };
    Entries maven;
    ServeLibraries(publisher, profile["libraries"], bytesOf, maven);
    ServeLibraries(publisher, description["libraries"], bytesOf, maven);
    RewriteOutputChecksums(profile);
    entries.emplace_back("version.json", WriteJson(description));
    entries.emplace_back("data/client.lzma", "binary patches");
    entries.insert(entries.end(), maven.begin(), maven.end());
  }
  entries.emplace(entries.begin(), "install_profile.json", WriteJson(profile));
  const std::string installer = ZipBytes(entries);
  publisher.Serve(installerUrl, installer);
  publisher.Serve(installerUrl + ".sha1", Sha1Of(installer));
  return profile;
}

}  // namespace kv::test
