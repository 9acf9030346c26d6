#include "platform/secret_input.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

namespace kv {
namespace {

// Turns the terminal's echo off for its lifetime, when standard input is a terminal.
class EchoOff {
 public:
  EchoOff() {
    if (::isatty(STDIN_FILENO) == 0 || ::tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    active_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
  }
  ~EchoOff() {
    if (!active_) return;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    // The Enter that ended the line was not echoed either.
    std::cerr << std::endl;
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  termios saved_{};
  bool active_ = false;
};

}  // namespace

bool StandardInputIsTerminal() { return ::isatty(STDIN_FILENO) != 0; }

std::optional<std::string> ReadSecretLine() {
  EchoOff echoOff;
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace kv
