#include "loader/processor_run.h"

#include <algorithm>

#include "platform/child_process.h"
#include "util/digest.h"
#include "util/files.h"
#include "util/messages.h"
#include "util/zip_archive.h"

namespace kv {
namespace {

// A manifest is a few lines; one far larger is not one.
constexpr std::size_t kManifestLimit = 1024 * 1024;
// A processor's line longer than this is cut into pieces, so that no output fills the memory.
constexpr std::size_t kLineLimit = 64 * 1024;

struct Output {
  std::string path;
  std::string sha1;  // empty when the profile gives none
};

// "net.minecraftforge:installertools:1.3.0 MCP_DATA": the jar, and the task where it names one.
std::string ProcessorName(const InstallerProcessor& processor) {
  const auto task = std::find(processor.args.begin(), processor.args.end(), "--task");
  if (task == processor.args.end() || task + 1 == processor.args.end()) return processor.jar;
  return processor.jar + " " + *(task + 1);
}

bool InPlace(const Output& output) {
  if (output.sha1.empty()) return GetFileSize(output.path) > 0;
  const std::optional<std::string> sha1 = Sha1OfFile(output.path);
  return sha1 && SameDigest(*sha1, output.sha1);
}

// The value after `option` among the arguments, resolved; empty when there is none.
Result<std::string> OptionValue(const InstallerProcessor& processor, const ProcessorValues& values,
                                std::string_view option) {
  const auto found = std::find(processor.args.begin(), processor.args.end(), option);
  if (found == processor.args.end() || found + 1 == processor.args.end()) return std::string();
  return values.Resolve(*(found + 1));
}

bool DownloadsMappings(const InstallerProcessor& processor) {
  const auto task = std::find(processor.args.begin(), processor.args.end(), "--task");
  return task != processor.args.end() && task + 1 != processor.args.end() && *(task + 1) == "DOWNLOAD_MOJMAPS";
}

Status RunJava(const InstallerProcessor& processor, const std::string& name, const ProcessorValues& values,
               const ProcessorRun& run, InstallSink& sink) {
  Result<std::string> jar = values.ArtifactPath(processor.jar);
  if (!jar) return Fail(FailureKind::Invalid, msg::ProcessorNotStarted(name, jar.message()));
  Result<std::string> mainClass = JarMainClass(*jar);
  if (!mainClass) return Fail(mainClass.kind(), msg::ProcessorNotStarted(name, mainClass.message()));
  std::string classpath = *jar;
  for (const std::string& coordinate : processor.classpath) {
    Result<std::string> path = values.ArtifactPath(coordinate);
    if (!path) return Fail(FailureKind::Invalid, msg::ProcessorNotStarted(name, path.message()));
    classpath += ":" + *path;
  }
  std::vector<std::string> argv = {run.java, "-cp", classpath, *mainClass};
  for (const std::string& arg : processor.args) {
    Result<std::string> value = values.Resolve(arg);
    if (!value) return Fail(FailureKind::Invalid, msg::ProcessorNotStarted(name, value.message()));
    argv.push_back(std::move(*value));
  }
  std::string error;
  std::optional<ChildProcess> child = ChildProcess::Start(argv, run.workingFolder, error);
  if (!child) return Fail(FailureKind::Other, msg::ProcessorNotStarted(name, error));
  std::string line;
  char buffer[8192];
  for (std::size_t read; (read = child->ReadOutput(buffer, sizeof buffer)) > 0;) {
    for (std::size_t i = 0; i < read; ++i) {
      if (buffer[i] == '\n' || line.size() >= kLineLimit) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        sink.OnOutput(line);
        line.clear();
        if (buffer[i] == '\n') continue;
      }
      line += buffer[i];
    }
  }
  if (!line.empty()) sink.OnOutput(line);
  if (const int status = child->Wait(); status != 0) return Fail(FailureKind::Other, msg::ProcessorFailed(name, status));
  return {};
}

}  // namespace

Result<std::string> JarMainClass(const std::string& jarPath) {
  Result<ZipArchive> jar = ZipArchive::Open(jarPath);
  if (!jar) return std::move(jar).failure();
  Result<std::string> manifest = jar->Read("META-INF/MANIFEST.MF", kManifestLimit);
  if (!manifest) return std::move(manifest).failure();
  constexpr std::string_view kKey = "Main-Class:";
  std::size_t start = 0;
  while (start < manifest->size()) {
    std::size_t end = manifest->find('\n', start);
    if (end == std::string::npos) end = manifest->size();
    std::string_view line = std::string_view(*manifest).substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, kKey.size()) == kKey) {
      std::string_view value = line.substr(kKey.size());
      while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
      if (!value.empty()) return std::string(value);
    }
    start = end + 1;
  }
  return Fail(FailureKind::NotFound, "Main-Class: " + jarPath);
}

Status RunProcessors(const std::vector<InstallerProcessor>& processors, const ProcessorValues& values,
                     const ProcessorRun& run, InstallSink& sink) {
  const int total = static_cast<int>(processors.size());
  sink.OnStep(InstallStep::Processors, 0, total);
  int done = 0;
  for (const InstallerProcessor& processor : processors) {
    const std::string name = ProcessorName(processor);
    std::vector<Output> outputs;
    for (const auto& [file, sha1] : processor.outputs) {
      Result<std::string> path = values.Resolve(file);
      Result<std::string> checksum = values.Resolve(sha1);
      if (!path || !checksum) {
        return Fail(FailureKind::Invalid, msg::ProcessorNotStarted(name, path ? checksum.message() : path.message()));
      }
      outputs.push_back({std::move(*path), std::move(*checksum)});
    }
    const bool inPlace = !outputs.empty() && std::all_of(outputs.begin(), outputs.end(), InPlace);
    if (!inPlace) {
      if (DownloadsMappings(processor)) {
        Result<std::string> path = OptionValue(processor, values, "--output");
        if (!path || path->empty()) return Fail(FailureKind::Invalid, msg::ProcessorNotStarted(name, "--output"));
        if (Status mappings = run.downloadMappings(*path); !mappings) return mappings;
      } else if (Status ran = RunJava(processor, name, values, run, sink); !ran) {
        return ran;
      }
      for (const Output& output : outputs) {
        if (!InPlace(output)) return Fail(FailureKind::Mismatch, msg::ProcessorOutputWrong(name, output.path));
      }
    }
    sink.OnStep(InstallStep::Processors, ++done, total);
  }
  return {};
}

}  // namespace kv
