#pragma once
#include "platform/facilities.h"

namespace tonvirke {

class RealLocalClock final : public LocalClock {
 public:
  QString Format(const QString& mask) override;
};

}  // namespace tonvirke
