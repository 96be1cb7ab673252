#include "morse/transmission.h"

#include "app/clock.h"
#include "app/program.h"
#include "morse/keying.h"
#include "morse/morse_table.h"

namespace tonvirke {

namespace {

constexpr Rect kCarrierLine{390, 400, 200, 20};
constexpr Rect kCarrierPauseLine{390, 430, 200, 20};
constexpr Rect kMessageLine{390, 490, 200, 20};
constexpr Rect kRepeatPauseLine{390, 460, 200, 20};
constexpr Rect kSentTextBox{320, 370, 800, 20};

}  // namespace

void KeyCarrier(Program& p) {
  p.fx.windows.CreateLabel(10, kCarrierLine,
                           QStringLiteral("Bärvåg i ") + QString::number(p.Run.CarrierMs) +
                               QStringLiteral(" millisekunder"),
                           false);
  if (KeyTone(p, p.Run.CarrierMs) == KeyToneResult::Skipped) return;
  p.fx.windows.CreateLabel(10, kCarrierLine, QString(), false);
  p.fx.windows.CreateLabel(10, kCarrierPauseLine, QStringLiteral("Paus mellan bärvåg och text"),
                           false);
  p.fx.delay.Wait(p.Run.CarrierPauseMs);
  p.fx.windows.CreateLabel(10, kCarrierPauseLine, QString(), false);
}

void PumpEventsOnce(Program& p) {
  p.fx.surface.EndDrawing();
  p.fx.surface.Present();
  p.fx.windows.TakeOneEvent();
  p.fx.surface.BeginDrawing();
}

void PumpEvents(Program& p) {
  PumpEventsOnce(p);
  PumpEventsOnce(p);
}

void SendTransmission(Program& p) {
  const std::int64_t u = p.Run.CharLengthMs;
  p.Timing = {u, SaturatingMul(3, u), u, SaturatingMul(3, u), SaturatingMul(7, u)};
  QString sentText = QStringLiteral(" ");
  if (p.Run.CarrierMs > 0) KeyCarrier(p);
  const QString status = QStringLiteral("Meddelande nr ") +
                         QString::number(p.Run.TransmissionNumber) + QStringLiteral(" sänds ut");
  const QString message = p.Run.MessageText;
  const qsizetype length = message.size();
  sentText.reserve(length + 1);
  for (qsizetype i = 0; i < length; ++i) {
    p.fx.windows.CreateLabel(9, kMessageLine, status, false);
    UpdateClock(p);
    const char16_t c = message.at(i).unicode();
    sentText += QChar(c);
    p.fx.windows.CreateLabel(12, kSentTextBox, sentText, true);
    EncodeCharacter(p, c);
  }
  p.fx.windows.CreateLabel(9, kMessageLine, QString(), false);
  p.fx.windows.CreateLabel(9, kRepeatPauseLine, QStringLiteral("Pause mellan utsändningarna"),
                           false);
  p.fx.delay.Wait(p.Run.RepeatPauseMs);
  p.fx.windows.CreateLabel(9, kRepeatPauseLine, QString(), false);
  PumpEvents(p);
}

}  // namespace tonvirke
