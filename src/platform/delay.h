#pragma once
#include <chrono>
#include <functional>

#include "platform/facilities.h"

namespace tonvirke {

// Waits for an absolute deadline on the monotonic clock, so that a wait is as long as asked
// and errors do not add up from one wait to the next.
class RealDelay final : public Delay {
 public:
  using Deadline = std::chrono::steady_clock::time_point;
  static constexpr auto kWatchedStretch = std::chrono::microseconds(2000);
  void Wait(std::int64_t ms) override;
  void WaitForInput(std::int64_t ms) override;
  // Called while a long wait has time to spare (e.g. to let the windows repaint); it must
  // return well before the deadline it is given.
  void SetIdleWork(std::function<void(Deadline)> work) { idle_ = std::move(work); }
  // Blocks until the window system has something or the deadline passes.
  void SetInputWait(std::function<void(Deadline)> wait) { inputWait_ = std::move(wait); }
  static void SleepUntil(Deadline deadline);

 private:
  std::function<void(Deadline)> idle_;
  std::function<void(Deadline)> inputWait_;
};

}  // namespace tonvirke
