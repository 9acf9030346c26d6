#pragma once

#include <chrono>
#include <cstdint>
#include <deque>

// The speed of a download run as a player reads it: the bytes of the last second, measured a
// few times a second. In the run's first second the bytes so far count over the time so far,
// so that a speed is shown from the first report on, not only once a whole second has passed.
namespace kv {

class SpeedMeter {
 public:
  using Clock = std::chrono::steady_clock;

  explicit SpeedMeter(Clock::time_point start) : start_(start) {}

  // `bytes` arrived since the last call, which was at or before `now`.
  void Add(std::int64_t bytes, Clock::time_point now);
  // Bytes a second over the last second before `now` (over the time since the start, during
  // the first second).
  std::int64_t BytesPerSecond(Clock::time_point now);

 private:
  struct Sample {
    Clock::time_point at;
    std::int64_t bytes;
  };
  void Forget(Clock::time_point now);

  Clock::time_point start_;
  std::deque<Sample> samples_;
};

}  // namespace kv
