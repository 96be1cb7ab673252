#pragma once
#include <QString>
#include <cstdint>

namespace tonvirke {
// Reads a number from a field the way the keyer always has: the longest decimal number at the
// start, through single precision, rounded half to even; unusable values give INT64_MIN.
std::int64_t ParseFieldNumber(const QString& text);
}  // namespace tonvirke
