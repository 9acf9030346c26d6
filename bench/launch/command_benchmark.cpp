#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "launch/launch_command.h"
#include "meta/version_description.h"

namespace {

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(KORVANE_FIXTURES) + "/versions/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The largest shipped version: 1.12.2 with 39 libraries.
void BuildLaunchCommand(benchmark::State& state, const kv::PlatformProfile& profile) {
  kv::VersionDescription description;
  kv::ParseVersionDescription(Fixture("version-1.12.2.json"), description);
  kv::LaunchInputs inputs;
  inputs.javaPath = "/usr/lib/jvm/java-17-openjdk-amd64/bin/java";
  inputs.playerName = "Steve";
  inputs.gamePath = "/home/player/korvane/.minecraft/";
  inputs.instanceName = "生存";
  inputs.userType = "legacy";
  inputs.launchParameters = "-XX:+UseG1GC -Dfile.encoding=UTF-8";
  kv::LaunchCommandResult built;
  for (auto _ : state) {
    built = kv::BuildLaunchCommand(description, inputs, profile, 64);
    benchmark::DoNotOptimize(built);
  }
  state.counters["arguments"] = static_cast<double>(built.command->arguments.size());
  state.counters["text_bytes"] = static_cast<double>(built.command->text.size());
}
BENCHMARK_CAPTURE(BuildLaunchCommand, windows, kv::PlatformProfile::Windows());
BENCHMARK_CAPTURE(BuildLaunchCommand, linux, kv::PlatformProfile::Linux());

}  // namespace
