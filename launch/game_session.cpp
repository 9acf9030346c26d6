#include "launch/game_session.h"

#include <cstdio>

#include "platform/child_process.h"
#include "platform/diagnostic_log.h"
#include "util/files.h"
#include "util/utf8_stream.h"

namespace kv {

std::optional<int> RunGameProcess(const std::vector<std::string>& arguments,
                                  const std::string& workingFolder, bool showLog,
                                  GameOutputSink& sink) {
  std::string commandLine;
  for (const std::string& argument : arguments) commandLine += (commandLine.empty() ? "" : " ") + argument;
  LogLine(LogLevel::Info, "Starting the game: " + commandLine);

  std::string error;
  std::optional<ChildProcess> game = ChildProcess::Start(arguments, workingFolder, error);
  if (!game) {
    LogLine(LogLevel::Error, "CreateProcess fail, " + error);
    sink.ShowLauncher(true);
    return std::nullopt;
  }
  bool toLog = showLog && sink.HasLogWindow();
  if (toLog) {
    sink.ShowLog(true);
    sink.ClearLog();
  }
  sink.ShowLauncher(false);

  Utf8StreamDecoder decoder;
  char chunk[4096];
  while (std::size_t read = game->ReadOutput(chunk, sizeof chunk)) {
    if (!toLog) continue;
    std::string text = decoder.Feed(std::string_view(chunk, read));
    if (!text.empty()) sink.AppendLog(text);
  }
  if (toLog) {
    std::string rest = decoder.Finish();
    if (!rest.empty()) sink.AppendLog(rest);
    sink.ShowLog(false);
  }
  sink.ShowLauncher(true);
  return game->Wait();
}

bool WriteDefaultOptions(const std::string& language, const std::string& optionsPath) {
  if (PathExists(optionsPath)) return true;
  std::FILE* file = std::fopen(optionsPath.c_str(), "w+");
  if (file == nullptr) return false;
  std::string text = "lang:" + language;
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return (std::fclose(file) == 0) && written;
}

}  // namespace kv
