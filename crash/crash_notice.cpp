#include "crash/crash_notice.h"

#include "util/messages.h"

namespace kv {

std::string DescribeCrash(const CrashAnalysis& analysis) {
  if (!analysis.Found()) return analysis.description.empty() ? std::string() : msg::CrashDescription(analysis.description);
  const CrashCause& cause = analysis.causes.front();
  std::string text = msg::CrashCause(cause.title) + "\n" + cause.explanation;
  if (!cause.source.empty()) text += msg::CrashSeenIn(cause.source);
  std::string others;
  for (std::size_t i = 1; i < analysis.causes.size(); ++i) {
    others += (i == 1 ? "" : msg::kCrashCauseSeparator) + analysis.causes[i].title;
  }
  if (!others.empty()) text += "\n" + msg::CrashOtherCauses(others);
  return text;
}

}  // namespace kv
