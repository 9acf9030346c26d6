#pragma once

#include <optional>
#include <string>
#include <vector>

// Running the game: its output is read until every process holding the output pipe has
// ended; the launcher hides meanwhile and the output goes to the log window when the player
// wants to see it.
namespace kv {

// What the game's run shows the player. Implemented by the launcher window (posting to its
// windows) and by korvane-cli (printing).
class GameOutputSink {
 public:
  virtual ~GameOutputSink() = default;
  // Hides or shows the launcher. Showing it again at the end returns only once it is shown.
  virtual void ShowLauncher(bool visible) = 0;
  virtual bool HasLogWindow() const = 0;
  virtual void ShowLog(bool visible) = 0;
  virtual void ClearLog() = 0;
  // Output as it comes, decoded from UTF-8; a chunk may end inside a line.
  virtual void AppendLog(const std::string& text) = 0;
};

struct GameRun {
  std::optional<int> exitStatus;  // nothing when the game could not be started
  std::string lastLines;          // the end of its output, for a message when it crashed
  std::string outputFile;         // where its whole output is kept; empty when nowhere
};

// Starts `arguments` in `workingFolder` and pumps its output. With `showLog` the log window is
// shown, cleared and fed for the run; without, the output is only kept (so that the game
// never blocks on a full pipe). The whole output always goes to "game-latest.log" in the
// launcher's log folder. A game that ends with a non-zero status leaves the log window open
// for the player to read, and so does every game with `keepLog`. A game that could not be
// started has no exit status (the reason goes to the diagnostic log; the launcher stays shown).
GameRun RunGameProcess(const std::vector<std::string>& arguments, const std::string& workingFolder, bool showLog,
                       GameOutputSink& sink, bool keepLog = false);

// Creates the instance's options file holding "lang:" + language (no line end) unless it
// exists; an existing file is left byte for byte. False when it could not be created.
bool WriteDefaultOptions(const std::string& language, const std::string& optionsPath);

}  // namespace kv
