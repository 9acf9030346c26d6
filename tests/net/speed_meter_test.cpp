#include "net/speed_meter.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using namespace std::chrono_literals;

TEST(SpeedMeter, TheFirstSecondCountsTheTimeSoFarAndLaterOnesTheLastSecond) {
  const SpeedMeter::Clock::time_point start{};
  SpeedMeter meter(start);
  EXPECT_EQ(meter.BytesPerSecond(start), 0);
  // 50 KiB in the first quarter second: 200 KiB a second, not 50 or 0.
  meter.Add(51200, start + 250ms);
  EXPECT_EQ(meter.BytesPerSecond(start + 250ms), 204800);
  meter.Add(51200, start + 500ms);
  meter.Add(51200, start + 750ms);
  meter.Add(51200, start + 1000ms);
  EXPECT_EQ(meter.BytesPerSecond(start + 1000ms), 204800);
  // The transfers stall: what came more than a second ago no longer counts.
  meter.Add(0, start + 1250ms);
  EXPECT_EQ(meter.BytesPerSecond(start + 1250ms), 153600);
  meter.Add(0, start + 2000ms);
  EXPECT_EQ(meter.BytesPerSecond(start + 2000ms), 0);
}

}  // namespace
}  // namespace kv
