#include "run/run_modes.h"

#include <limits>

#include "app/clock.h"
#include "app/program.h"
#include "morse/transmission.h"
#include "run/field_number.h"

namespace tonvirke {

namespace {

constexpr Rect kTestRunLine{255, 680, 200, 20};
constexpr Rect kRepeatedRunLine{385, 680, 200, 20};
constexpr Rect kWaitLine{515, 680, 200, 20};
constexpr Rect kDoneLine{390, 520, 200, 20};
constexpr Rect kCounterBox{320, 520, 50, 20};

void ShowCount(Program& p) {
  p.CounterText = QStringLiteral(" ") + QString::number(p.Run.TransmissionNumber);
  p.fx.windows.CreateLabel(20, kCounterBox, p.CounterText, true);
}

void ShowDone(Program& p) {
  p.fx.windows.CreateLabel(9, kDoneLine, QStringLiteral("Klart"), false);
}

QString NowText(Program& p) {
  return p.fx.clock.Format(QStringLiteral("%yyyy-%mm-%dd %hh:%ii"));
}

}  // namespace

void ReadRunParameters(Program& p) {
  WindowSystem& w = p.fx.windows;
  p.Run.ToneHz = ParseFieldNumber(w.Text(26));
  p.Run.CharLengthMs = ParseFieldNumber(w.Text(28));
  p.Run.MessageText = w.Text(30);
  p.Run.CarrierMs = ParseFieldNumber(w.Text(32));
  p.Run.CarrierPauseMs = ParseFieldNumber(w.Text(34));
  p.Run.RepeatPauseMs = ParseFieldNumber(w.Text(36));
  p.Run.RepeatCount = ParseFieldNumber(w.Text(38));
}

void RunTestTransmission(Program& p) {
  p.fx.windows.CreateLabel(15, kTestRunLine, QStringLiteral("Testkörning pågår"), false);
  ReadRunParameters(p);
  p.Run.TransmissionNumber = 1;
  SendTransmission(p);
  ShowDone(p);
  p.fx.windows.CreateLabel(15, kTestRunLine, QStringLiteral(" "), false);
}

void RunRepeated(Program& p) {
  p.fx.windows.CreateLabel(16, kRepeatedRunLine, QStringLiteral("Nu körs n antal TX"), false);
  ReadRunParameters(p);
  p.Run.TransmissionNumber = 1;
  while (p.Run.TransmissionNumber <= p.Run.RepeatCount) {
    PumpEventsOnce(p);
    SendTransmission(p);
    ShowCount(p);
    if (p.Run.TransmissionNumber == std::numeric_limits<std::int64_t>::max()) break;
    ++p.Run.TransmissionNumber;
  }
  ShowDone(p);
  p.fx.windows.CreateLabel(16, kRepeatedRunLine, QStringLiteral(" "), false);
}

void RunTimeWindow(Program& p) {
  if (p.fx.beep.Acquire()) {
    p.fx.beep.Beep(800, 500);
    p.fx.beep.Release();
  }
  ReadRunParameters(p);
  p.Run.TransmissionNumber = 0;
  p.fx.windows.CreateLabel(9, kWaitLine, QStringLiteral("Inväntar starttid"), false);
  for (;;) {
    p.fx.keyboard.Examine();
    if (p.fx.keyboard.EscapeReleased()) {
      p.fx.surface.EndDrawing();
      RebuildMainScreen(p);
    }
    UpdateClock(p);
    if (!(p.Settings.StartTime > NowText(p))) break;
    // Nothing can change before the next second (the clock, the minute) or the next key: sleep
    // until then, so that a wait of hours stays off the processor and still reacts at once.
    p.fx.delay.WaitForInput(p.fx.clock.MsToNextSecond());
  }
  p.fx.windows.CreateLabel(9, kWaitLine, QString(17, QLatin1Char(' ')), false);
  for (;;) {
    const QString now = NowText(p);
    PumpEventsOnce(p);
    SendTransmission(p);
    p.Run.TransmissionNumber = SaturatingAdd(p.Run.TransmissionNumber, 1);
    ShowCount(p);
    if (!(p.Settings.StopTime > now)) break;
  }
  ShowDone(p);
}

}  // namespace tonvirke
