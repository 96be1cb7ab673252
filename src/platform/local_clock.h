#pragma once
#include "platform/facilities.h"

namespace tonvirke {

class RealLocalClock final : public LocalClock {
 public:
  QString Format(const QString& mask) override;
  std::int64_t MsToNextSecond() override;
};

}  // namespace tonvirke
