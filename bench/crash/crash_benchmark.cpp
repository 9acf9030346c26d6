// The crash analysis of a long log: 50 MB of a game that played for hours, ending in a crash.
//   BM_AnalyzeText          every pattern of the built-in table over the decoded text
//   BM_DecodeAndAnalyze     the same from the file's bytes (UTF-8 with CRLF line ends)
//   BM_DecodeAndAnalyzeGbk  the same written in GBK, as on a Chinese Windows
//   BM_DecodeAndAnalyzeXml  the same as log4j's XML event stream
// The log is a real game's start (tests/fixtures/crash-logs) repeated, then the lines of a
// real crash (a Fabric mod missing its dependency).
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "crash/crash_analyzer.h"
#include "crash/log_text.h"
#include "util/text.h"

namespace kv {
namespace {

constexpr std::size_t kLogBytes = 50u << 20;

std::string Fixture(const std::string& name) {
  std::ifstream file(std::string(KORVANE_FIXTURES) + "/crash-logs/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// `played` repeated to 50 MB, then `crash`.
std::string LongLog(const std::string& played, const std::string& crash) {
  std::string log;
  log.reserve(kLogBytes + crash.size());
  while (log.size() < kLogBytes) log += played;
  return log + crash;
}

std::string WithCrLf(const std::string& text) {
  std::string crlf;
  crlf.reserve(text.size() + text.size() / 16);
  for (const char c : text) c == '\n' ? crlf += "\r\n" : crlf += c;
  return crlf;
}

const CrashAnalyzer& Analyzer() { return *BuiltInCrashAnalyzer(); }

void Analyze(benchmark::State& state, const std::string& bytes, bool decode) {
  const std::string decoded = DecodeLogText(bytes);
  for (auto _ : state) {
    CrashAnalysis analysis = Analyzer().Analyze({{"game-latest.log", decode ? DecodeLogText(bytes) : decoded}});
    if (!analysis.Found() || analysis.causes.front().id != "mod-dependency-missing") {
      state.SkipWithError("the crash at the end of the log was not found");
      break;
    }
    benchmark::DoNotOptimize(analysis);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

// A Forge game's start, up to the error it ends with.
std::string PlainLog() {
  const std::string forge = Fixture("hmcl/logs/forge_found_duplicate_mods.txt");
  return LongLog(forge.substr(0, forge.find("[main/ERROR]")), Fixture("hmcl/logs/fabric-mod-missing.txt"));
}

void BM_AnalyzeText(benchmark::State& state) { Analyze(state, PlainLog(), false); }

void BM_DecodeAndAnalyze(benchmark::State& state) { Analyze(state, WithCrLf(PlainLog()), true); }

void BM_DecodeAndAnalyzeGbk(benchmark::State& state) {
  Analyze(state, WithCrLf(ToNarrow(PlainLog(), kCodePageGbk)), true);
}

void BM_DecodeAndAnalyzeXml(benchmark::State& state) {
  const std::string fatal =
      "<log4j:Event logger=\"FabricLoader\" timestamp=\"1\" level=\"FATAL\" thread=\"main\">\n"
      "  <log4j:Message><![CDATA[A critical error occurred]]></log4j:Message>\n"
      "  <log4j:Throwable><![CDATA[" + Fixture("hmcl/logs/fabric-mod-missing.txt") + "]]></log4j:Throwable>\n"
      "</log4j:Event>\n";
  Analyze(state, LongLog(Fixture("prism/vanilla-1.21.5.xml.log"), fatal), true);
}

BENCHMARK(BM_AnalyzeText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAndAnalyze)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAndAnalyzeGbk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAndAnalyzeXml)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kv
