#include "launch/game_output.h"

#include "util/files.h"

namespace kv {

GameOutputFile::GameOutputFile(const std::string& logFolder) {
  const std::string latest = logFolder + "game-latest.log";
  MakeFoldersForPath(latest);
  // A failed move leaves the older file to be overwritten: the newest output matters most.
  std::rename(latest.c_str(), (logFolder + "game-previous.log").c_str());
  file_ = OpenStreamForWriting(latest, WriteStart::Truncate);
  if (file_) path_ = latest;
}

GameOutputFile::~GameOutputFile() {
  if (file_) std::fclose(file_);
}

void GameOutputFile::Write(std::string_view bytes) {
  if (!file_) return;
  // Flushed at once, so that the file holds everything even when the launcher itself dies.
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() || std::fflush(file_) != 0) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

void OutputTail::Add(std::string_view text) {
  for (const char c : text) {
    if (c == '\n') {
      EndLine();
      continue;
    }
    if (c == '\r') continue;
    const bool startsCharacter = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (startsCharacter) ++currentCharacters_;
    if (currentCharacters_ > maxCharacters_) continue;
    // A tab would stretch to the next tab stop of whatever shows the text.
    if (c == '\t') current_ += "    ";
    else current_ += c;
  }
}

std::string OutputTail::Finished(std::string line, std::size_t characters) const {
  if (characters > maxCharacters_) line += "…";
  return line;
}

void OutputTail::EndLine() {
  // Blank lines count only once a line follows them: blank lines at the end say nothing.
  if (current_.empty()) {
    ++blankLines_;
    return;
  }
  for (; blankLines_ > 0; --blankLines_) lines_.emplace_back();
  lines_.push_back(Finished(std::move(current_), currentCharacters_));
  current_.clear();
  currentCharacters_ = 0;
  while (lines_.size() > maxLines_) lines_.pop_front();
}

std::string OutputTail::Text() const {
  std::deque<std::string> shown = lines_;
  if (!current_.empty()) {
    shown.insert(shown.end(), blankLines_, std::string());
    shown.push_back(Finished(current_, currentCharacters_));
  }
  while (shown.size() > maxLines_) shown.pop_front();
  std::string text;
  for (std::size_t i = 0; i < shown.size(); ++i) text += (i == 0 ? "" : "\n") + shown[i];
  return text;
}

}  // namespace kv
