#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tonvirke {

// Maps the steady clock onto a sound device's frames, learnt from the moments its mixing
// callbacks run, so that something asked for at a moment happens at the matching frame.
// All times are in frames of the steady clock (seconds x rate).
class FrameClock {
 public:
  // How fast the device clock may drift from the steady clock (sound cards keep well within
  // this; a slower device would make the output lag more and more over a long run), and how
  // fast the offset in use follows the estimate: above that drift, and slow enough that a
  // 150 ms dash changes by less than 0.1 ms with rounding.
  static constexpr double kDriftPerFrame = 400e-6;
  static constexpr double kSlewPerFrame = 450e-6;

  // largeStep: a step of the estimate taken at once rather than followed gently (start-up).
  // latency: frames added to every request, as margin for the callbacks' lateness.
  FrameClock(double largeStep, std::int64_t latency) : largeStep_(largeStep), latency_(latency) {}

  // At the start of a callback that mixes from frame `rendered` on.
  void Observe(std::int64_t rendered, double now) {
    // A callback that runs late only makes the buffer look later, so the earliest-looking one
    // is the truth: follow it at once upwards, and downwards only as fast as clocks drift.
    const double measured = static_cast<double>(rendered) - now;
    if (!anchored_) {
      best_ = base_ = measured;
      anchored_ = true;
    } else {
      base_ = OffsetAt(now);
      best_ = std::max(measured, best_ - kDriftPerFrame * std::max(0.0, now - baseTime_));
      if (std::fabs(best_ - base_) > largeStep_) base_ = best_;
    }
    baseTime_ = now;
  }

  // The frame at which something asked for at `now` happens; never one already mixed.
  std::int64_t FrameAt(double now, std::int64_t rendered) const {
    if (!anchored_) return rendered;
    const auto frame = static_cast<std::int64_t>(std::llround(now + OffsetAt(now)));
    return std::max(rendered, frame + latency_);
  }

 private:
  // The offset in use moves towards the estimate at a bounded rate, continuously in time, so
  // that no tone is lengthened by more than that rate allows, however callbacks bunch up.
  double OffsetAt(double now) const {
    const double most = kSlewPerFrame * std::max(0.0, now - baseTime_);
    return base_ + std::clamp(best_ - base_, -most, most);
  }

  double largeStep_;
  std::int64_t latency_;
  bool anchored_ = false;
  double best_ = 0.0;      // estimated (frames rendered - steady time)
  double base_ = 0.0;      // the offset in use at baseTime_
  double baseTime_ = 0.0;  // the last callback
};

}  // namespace tonvirke
