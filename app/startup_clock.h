#pragma once

#include <chrono>

// How long the program has been running, for the start-up figures in the diagnostic log.
namespace kv {

std::chrono::milliseconds SinceProgramStart();

}  // namespace kv
