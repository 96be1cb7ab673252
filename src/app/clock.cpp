#include "app/clock.h"

#include "app/program.h"

namespace tonvirke {

void UpdateClock(Program& p) {
  const QString mask = QStringLiteral("%hh:%ii:%ss");
  if (p.fx.clock.Format(mask) == p.ClockLastShown) return;
  const QString time = p.fx.clock.Format(mask);
  const QString date = p.fx.clock.Format(QStringLiteral("%yyyy-%mm-%dd"));
  p.fx.windows.CreateLabel(17, {950, 30, 300, 40}, date + QLatin1Char(' ') + time, false,
                           kMainWindow);
  p.fx.windows.SetFont(17, 4);
  p.fx.windows.SetTextColour(17, {100, 100, 100});
  p.ClockLastShown = time;
}

}  // namespace tonvirke
