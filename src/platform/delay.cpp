#include "platform/delay.h"

#include <sched.h>
#include <sys/prctl.h>
#include <cerrno>
#include <ctime>
#include <limits>

namespace tonvirke {

namespace {

void LowerTimerSlackOnce() {
  // The Linux counterpart of a 1 ms timer resolution: wake-ups are no longer batched.
  static const bool done = [] {
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    return true;
  }();
  (void)done;
}

}  // namespace

void RealDelay::SleepUntil(Deadline deadline) {
  const auto since = deadline.time_since_epoch();
  const auto secs = std::chrono::duration_cast<std::chrono::seconds>(since);
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(secs.count());
  ts.tv_nsec = static_cast<long>(std::chrono::nanoseconds(since - secs).count());
  while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
  }
}

void RealDelay::Wait(std::int64_t ms) {
  LowerTimerSlackOnce();
  if (ms < 0) return;
  if (ms == 0) {
    ::sched_yield();
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  // A wait longer than a few hundred years cannot end; cap it where the clock cannot overflow.
  constexpr std::int64_t kLongest = std::int64_t{1} << 52;
  const Deadline deadline = now + std::chrono::milliseconds(ms < kLongest ? ms : kLongest);
  if (idle_) idle_(deadline);
  // The kernel wakes a sleeper a tenth of a millisecond late as a rule and some milliseconds
  // late now and then; the last stretch is watched on the clock, so that the keying edges
  // land on time.
  SleepUntil(deadline - kWatchedStretch);
  while (std::chrono::steady_clock::now() < deadline) {
  }
}

void RealDelay::WaitForInput(std::int64_t ms) {
  if (ms <= 0) return;
  const Deadline deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  if (inputWait_) {
    inputWait_(deadline);
  } else {
    SleepUntil(deadline);
  }
}

}  // namespace tonvirke
