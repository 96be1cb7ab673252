#include "app/event_loop.h"

#include "app/clock.h"
#include "app/program.h"
#include "run/info_window.h"
#include "run/run_modes.h"
#include "settings/save.h"

namespace tonvirke {

void FillCurrentTime(Program& p) {
  const QString time = p.fx.clock.Format(QStringLiteral("%hh:%ii"));
  const QString date = p.fx.clock.Format(QStringLiteral("%yyyy-%mm-%dd"));
  const QString now = date + QLatin1Char(' ') + time;
  p.fx.windows.CreateField(40, {320, 550, 100, 20}, now, false);
  p.fx.windows.CreateField(42, {320, 580, 100, 20}, now, false);
}

void RunEventLoop(Program& p) {
  for (;;) {
    UpdateClock(p);
    const EventCode event = p.fx.windows.NextEvent();
    p.fx.keyboard.Examine();
    if (p.fx.keyboard.EscapeReleased()) EndProgram(p);
    if (event != EventCode::Control) continue;
    switch (p.fx.windows.LastEventControl()) {
      case 45:
        SaveSettings(p);
        break;
      case 46:
        FillCurrentTime(p);
        break;
      case 47:
        RunTestTransmission(p);
        break;
      case 48:
        RunRepeated(p);
        break;
      case 49:
        RunTimeWindow(p);
        break;
      case 50:
        ShowInfoWindow(p);
        break;
      case 52:
        p.fx.windows.CloseWindow(kMainWindow);
        EndProgram(p);
      default:
        break;
    }
  }
}

}  // namespace tonvirke
