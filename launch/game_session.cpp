#include "launch/game_session.h"

#include <cstdio>

#include "launch/game_output.h"
#include "platform/child_process.h"
#include "platform/diagnostic_log.h"
#include "platform/launcher_folder.h"
#include "util/files.h"
#include "util/utf8_stream.h"

namespace kv {

namespace {

// Enough of the end of a crashed game's output to show what went wrong.
constexpr std::size_t kLastLines = 10;
constexpr std::size_t kLastLineCharacters = 160;

}  // namespace

GameRun RunGameProcess(const std::vector<std::string>& arguments, const std::string& workingFolder, bool showLog,
                       GameOutputSink& sink, bool keepLog) {
  std::string commandLine;
  for (const std::string& argument : arguments) commandLine += (commandLine.empty() ? "" : " ") + argument;
  LogLine(LogLevel::Info, "Starting the game: " + commandLine);

  std::string error;
  std::optional<ChildProcess> game = ChildProcess::Start(arguments, workingFolder, error);
  if (!game) {
    LogLine(LogLevel::Error, "CreateProcess fail, " + error);
    sink.ShowLauncher(true);
    return {};
  }
  bool toLog = showLog && sink.HasLogWindow();
  if (toLog) {
    sink.ShowLog(true);
    sink.ClearLog();
  }
  sink.ShowLauncher(false);

  GameOutputFile file(GetLauncherFolder() + "log/");
  OutputTail tail(kLastLines, kLastLineCharacters);
  Utf8StreamDecoder decoder;
  const auto take = [&](const std::string& text) {
    tail.Add(text);
    if (toLog && !text.empty()) sink.AppendLog(text);
  };
  char chunk[4096];
  while (std::size_t read = game->ReadOutput(chunk, sizeof chunk)) {
    file.Write(std::string_view(chunk, read));
    take(decoder.Feed(std::string_view(chunk, read)));
  }
  take(decoder.Finish());
  GameRun run{game->Wait(), tail.Text(), file.Path()};
  // The log of a crashed game stays up: the player will want to read it.
  if (toLog && run.exitStatus == 0 && !keepLog) sink.ShowLog(false);
  sink.ShowLauncher(true);
  return run;
}

bool WriteDefaultOptions(const std::string& language, const std::string& optionsPath) {
  if (PathExists(optionsPath)) return true;
  // A link that leads nowhere is replaced by the file, never followed out of the instance.
  std::FILE* file = OpenStreamForWriting(optionsPath, WriteStart::Truncate);
  if (file == nullptr) return false;
  std::string text = "lang:" + language;
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return (std::fclose(file) == 0) && written;
}

}  // namespace kv
