// korvane-catalogue: publishes the mods of a pack as a static catalogue that qrx reads, from
// a folder of jars, in one command.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/korvane-catalogue/catalogue_builder.h"

namespace {

constexpr const char* kUsage =
    "usage: korvane-catalogue --jars FOLDER --out FOLDER\n"
    "Reads every *.jar in the jars folder (mcmod.info, META-INF/mods.toml,\n"
    "META-INF/neoforge.mods.toml or fabric.mod.json) and writes the catalogue into the out\n"
    "folder: index.json, jars/ and icons/. Serve the out folder as .../allmod/ with any\n"
    "static web server and point the launcher's KORVANE_CATALOGUE at that address.\n";

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string jars;
  std::string out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--jars" && hasValue) {
      jars = args[++i];
    } else if (args[i] == "--out" && hasValue) {
      out = args[++i];
    } else {
      std::fprintf(stderr, "korvane-catalogue: unknown argument \"%s\"\n%s", args[i].c_str(), kUsage);
      return 2;
    }
  }
  if (jars.empty() || out.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const kv::catalogue::BuildResult result = kv::catalogue::BuildCatalogue(jars, out);
  for (const std::string& warning : result.warnings) std::fprintf(stderr, "注意: %s\n", warning.c_str());
  for (const std::string& skipped : result.skipped) std::fprintf(stderr, "跳过: %s\n", skipped.c_str());
  if (!result.ok) {
    std::fprintf(stderr, "korvane-catalogue: %s\n", result.failure.c_str());
    return 1;
  }
  std::printf("%s: %d 个 Mod\n", out.c_str(), result.mods);
  return 0;
}
