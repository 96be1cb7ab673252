#include "platform/frame_clock.h"

#include <gtest/gtest.h>

#include <random>

namespace tonvirke {
namespace {

constexpr int kBuffer = 2048;
constexpr std::int64_t kLatency = kBuffer + 480;

struct Device {
  double ppm;          // how much faster than the steady clock the device plays
  double jitterMs;     // callbacks run up to this late
  int stallEvery = 0;  // every so many callbacks, one runs 100 ms late (0: never)
};

struct Outcome {
  double worstToneError;  // frames between a tone's length and the time between its requests
  double latencySpread;   // how far the delay from request to sound moved over the minute
};

// Keys 50 ms dots and 150 ms dashes against a simulated device for a minute. Also fails if a
// request had to be pulled forward to a frame already mixed.
Outcome Simulate(const Device& d) {
  FrameClock clock(48000 / 500.0, kLatency);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> late(0.0, d.jitterMs * 48.0);
  const double framePeriod = 1.0 / (1.0 + d.ppm * 1e-6);  // steady frames per device frame
  std::int64_t rendered = 0;
  int callbacks = 0;
  double nextCallback = 0;
  auto runCallbacksUntil = [&](double now) {
    while (nextCallback <= now) {
      clock.Observe(rendered, nextCallback);
      rendered += kBuffer;
      ++callbacks;
      // The device asks for the next buffer when this one starts playing, give or take; after
      // a late callback the ones it owes run at once.
      const bool stall = d.stallEvery > 0 && callbacks % d.stallEvery == 0;
      const double due = static_cast<double>(rendered - kBuffer) * framePeriod;
      nextCallback = std::max(nextCallback, due + late(random) + (stall ? 4800.0 : 0.0));
    }
  };
  double worst = 0;
  double lowest = 1e18;
  double highest = -1e18;
  double now = 48000;  // a second to settle, as the output does before its first tone
  for (int element = 0; now < 60 * 48000; ++element) {
    runCallbacksUntil(now);
    const double played = now;
    const std::int64_t start = clock.FrameAt(now, rendered);
    EXPECT_GT(start, rendered) << "a play pulled forward at " << now / 48 << " ms";
    // The device plays frame f at steady time f x framePeriod.
    const double delay = static_cast<double>(start) * framePeriod - now;
    lowest = std::min(lowest, delay);
    highest = std::max(highest, delay);
    // A dash after every two dots, each held a little longer than asked, as a real wait is.
    now += (element % 3 == 2 ? 7200.0 : 2400.0) + late(random) / 10;
    runCallbacksUntil(now);
    const std::int64_t stop = clock.FrameAt(now, rendered);
    worst = std::max(worst, std::fabs(static_cast<double>(stop - start) - (now - played)));
    now += 2400;
  }
  return {worst, highest - lowest};
}

TEST(FrameClock, TonesLastAsLongAsTheirRequestsWereApart) {
  const struct {
    const char* what;
    Device device;
  } cases[] = {
      {"steady callbacks", {0, 0}},
      {"callbacks up to 8 ms late", {0, 8}},
      {"a device 100 ppm fast, jittery", {100, 8}},
      {"a device 100 ppm slow, jittery", {-100, 8}},
      {"a device 350 ppm slow, jittery", {-350, 8}},
      {"a callback 100 ms late now and then", {0, 3, 150}},
  };
  for (const auto& c : cases) {
    const Outcome o = Simulate(c.device);
    EXPECT_LE(o.worstToneError, 4.8) << c.what;  // 0.1 ms
    // The sound keeps its distance from the keying line instead of lagging more and more.
    EXPECT_LE(o.latencySpread, 96) << c.what;  // 2 ms
  }
}

TEST(FrameClock, FollowsALargeStepAtOnceAndASmallOneGently) {
  FrameClock clock(96, kLatency);
  EXPECT_EQ(clock.FrameAt(1000, 0), 0) << "nothing is known before the first callback";
  clock.Observe(0, 0);
  EXPECT_EQ(clock.FrameAt(1000, 0), 1000 + kLatency);
  // The device jumped 50 ms ahead (it restarted with a full buffer, say).
  clock.Observe(kBuffer + 2400, kBuffer);
  EXPECT_EQ(clock.FrameAt(kBuffer + 1000, kBuffer + 2400), kBuffer + 1000 + 2400 + kLatency);
  // A later callback that looks 1 ms earlier is followed gently: not at all at once, by a
  // frame in 50 ms, in full after a few seconds.
  const double t = 2 * kBuffer;
  const std::int64_t before = clock.FrameAt(t, 0) - static_cast<std::int64_t>(t);
  clock.Observe(2 * kBuffer + 2400 + 48, t);
  auto offsetAt = [&](double later) {
    return clock.FrameAt(t + later, 0) - static_cast<std::int64_t>(t + later) - before;
  };
  EXPECT_EQ(offsetAt(0), 0);
  EXPECT_EQ(offsetAt(2400), 1);
  EXPECT_EQ(offsetAt(48000 * 3), 48);
}

}  // namespace
}  // namespace tonvirke
