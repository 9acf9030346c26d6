#include "net/speed_meter.h"

#include <algorithm>

namespace kv {

namespace {

constexpr std::chrono::milliseconds kWindow{1000};

}  // namespace

void SpeedMeter::Add(std::int64_t bytes, Clock::time_point now) {
  if (bytes > 0) samples_.push_back({now, bytes});
  Forget(now);
}

void SpeedMeter::Forget(Clock::time_point now) {
  while (!samples_.empty() && samples_.front().at <= now - kWindow) samples_.pop_front();
}

std::int64_t SpeedMeter::BytesPerSecond(Clock::time_point now) {
  Forget(now);
  std::int64_t bytes = 0;
  for (const Sample& sample : samples_) bytes += sample.bytes;
  const auto span =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::min<Clock::duration>(now - start_, kWindow));
  if (span.count() <= 0) return 0;
  return bytes * 1000 / span.count();
}

}  // namespace kv
