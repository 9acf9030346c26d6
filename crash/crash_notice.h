#pragma once

#include <string>

#include "crash/crash_analyzer.h"

namespace kv {

// The analysis as the player reads it above the last lines of a crashed game's output: the
// cause with its explanation and where it was seen, then the other possible causes; without a
// cause, the crash report's description. Empty when there is nothing to say.
std::string DescribeCrash(const CrashAnalysis& analysis);

}  // namespace kv
