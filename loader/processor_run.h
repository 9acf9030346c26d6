#pragma once

#include <functional>
#include <string>
#include <vector>

#include "loader/install_sink.h"
#include "loader/installer_profile.h"
#include "loader/processor_values.h"
#include "util/result.h"

// Running an installer's processors for the client, in order, each as
// `java -cp <its jar + its classpath> <the Main-Class of its jar's manifest> <arguments>`.
namespace kv {

struct ProcessorRun {
  std::string java;           // the java that runs them
  std::string workingFolder;  // where they run: the installation's temporary folder
  // Makes the game's mappings at the path given, for the step that would download them
  // ("--task DOWNLOAD_MOJMAPS"): the launcher fetches them itself, so no processor needs the
  // network.
  std::function<Status(const std::string& path)> downloadMappings;
};

// A processor whose outputs are all in place with their SHA-1 is skipped; after each run its
// outputs are checked (one without a SHA-1 must exist and be non-empty). Each processor's
// output goes to `sink` line by line; the Processors step counts those done. A failure names
// the processor and, for a wrong output, the file.
Status RunProcessors(const std::vector<InstallerProcessor>& processors, const ProcessorValues& values,
                     const ProcessorRun& run, InstallSink& sink);

// The Main-Class of a jar's manifest; NotFound when it names none.
Result<std::string> JarMainClass(const std::string& jarPath);

}  // namespace kv
