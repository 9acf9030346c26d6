#pragma once

#include <json/json.h>

#include <functional>
#include <string>

#include "tests/loader/loader_publisher.h"

// Forge's and NeoForge's installers made in a test from their published documents, with
// stand-ins for the processors (tests/loader/processors) that write their outputs.
namespace kv::test {

// The processors' stand-ins as jars whose manifest names their main class: one that checks
// its inputs and writes its outputs, one that fails. Compiled into `folder` with the JDK.
struct ProcessorJars {
  std::string working;
  std::string failing;
};
ProcessorJars CompileProcessorJars(const std::string& folder);

// The bytes served for a library by its coordinate.
using JarOf = std::function<std::string(const std::string& coordinate)>;

// Serves an installer at `installerUrl` with its .sha1 beside it. Of today's form: `profile`
// (install_profile.json) with `description` (version.json) inside; every library of both
// served from its repository with the bytes `jarOf` gives (a processor's jar: `processorJar`),
// or put in the installer's maven/ folder where its address is empty; the checksums of the
// libraries and of the processors' outputs rewritten to what is served and written. Of the
// legacy form (`description` null): the libraries of "versionInfo" served from their
// repository (else the game's library host) and the universal jar inside. Returns the
// profile as the installer holds it.
Json::Value ServeInstaller(const LoaderPublisher& publisher, const std::string& installerUrl, Json::Value profile,
                           Json::Value description, const JarOf& jarOf, const std::string& processorJar);

}  // namespace kv::test
