#pragma once

#include <cstdio>
#include <deque>
#include <string>
#include <string_view>

// What is kept of a game's output besides the log window: the whole of it in a file of the
// launcher's log folder, and its last lines for the message that a crashed game leaves.
namespace kv {

// The latest game's output as the game wrote it, in "game-latest.log" of a log folder; the
// file of the game before is kept as "game-previous.log". A file that cannot be written is
// left out quietly: the game runs on all the same.
class GameOutputFile {
 public:
  // Moves the latest file aside and starts a new one in `logFolder` (created when missing).
  explicit GameOutputFile(const std::string& logFolder);
  ~GameOutputFile();
  GameOutputFile(const GameOutputFile&) = delete;
  GameOutputFile& operator=(const GameOutputFile&) = delete;

  void Write(std::string_view bytes);
  // The file's path, or empty when it could not be created.
  const std::string& Path() const { return path_; }

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
};

// The last few lines of a text that arrives in pieces, each line cut to a readable length.
class OutputTail {
 public:
  OutputTail(std::size_t lines, std::size_t lineCharacters) : maxLines_(lines), maxCharacters_(lineCharacters) {}

  // UTF-8 text; a piece may end inside a line (but not inside a character).
  void Add(std::string_view text);
  // The kept lines joined by "\n", the unfinished last line included.
  std::string Text() const;

 private:
  void EndLine();
  // The line with a mark when it was cut.
  std::string Finished(std::string line, std::size_t characters) const;

  std::size_t maxLines_;
  std::size_t maxCharacters_;
  std::deque<std::string> lines_;
  std::string current_;
  std::size_t currentCharacters_ = 0;
  std::size_t blankLines_ = 0;  // ended since the last line with text
};

}  // namespace kv
