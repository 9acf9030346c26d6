#include "app/startup_clock.h"

namespace kv {
namespace {

// Taken while the program's static objects are set up, before main runs.
const std::chrono::steady_clock::time_point kProgramStart = std::chrono::steady_clock::now();

}  // namespace

std::chrono::milliseconds SinceProgramStart() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - kProgramStart);
}

}  // namespace kv
