#include "platform/local_clock.h"

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

}  // namespace tonvirke
