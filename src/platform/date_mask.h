#pragma once
#include <QString>

namespace tonvirke {

struct DateTimeParts {
  int year = 0;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Replaces %yyyy, %mm, %dd, %hh, %ii and %ss (in either case); every other character is copied.
QString FormatDateMask(const QString& mask, const DateTimeParts& when);

}  // namespace tonvirke
