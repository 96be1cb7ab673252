#include "platform/local_clock.h"

#include <chrono>
#include <ctime>

#include "platform/date_mask.h"

namespace tonvirke {

QString RealLocalClock::Format(const QString& mask) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return FormatDateMask(mask, {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                               local.tm_min, local.tm_sec});
}

std::int64_t RealLocalClock::MsToNextSecond() {
  // Local seconds turn with the system clock's (time zones differ by whole minutes); one more
  // millisecond lands safely past the turn.
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::system_clock::now().time_since_epoch())
                      .count();
  return 1000 - ms % 1000 + 1;
}

}  // namespace tonvirke
