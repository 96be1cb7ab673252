#include "morse/transmission.h"

#include "app/clock.h"
#include "app/program.h"
#include "morse/keying.h"
#include "morse/morse_table.h"

namespace tonvirke {

namespace {

void PlaceLabel(Program& p, int number, Rect where, const QString& text, bool sunken = false) {
  p.fx.windows.CreateLabel(number, where, text, sunken);
}

constexpr Rect kCarrierLine{390, 400, 200, 20};
constexpr Rect kCarrierPauseLine{390, 430, 200, 20};
constexpr Rect kMessageLine{390, 490, 200, 20};
constexpr Rect kRepeatPauseLine{390, 460, 200, 20};
constexpr Rect kSentTextBox{320, 370, 800, 20};

}  // namespace

void KeyCarrier(Program& p) {
  PlaceLabel(p, 10, kCarrierLine,
             QStringLiteral("Bärvåg i ") + QString::number(p.Run.CarrierMs) +
                 QStringLiteral(" millisekunder"));
  if (KeyTone(p, p.Run.CarrierMs) == KeyToneResult::Skipped) return;
  PlaceLabel(p, 10, kCarrierLine, QString());
  PlaceLabel(p, 10, kCarrierPauseLine, QStringLiteral("Paus mellan bärvåg och text"));
  p.fx.delay.Wait(p.Run.CarrierPauseMs);
  PlaceLabel(p, 10, kCarrierPauseLine, QString());
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
    PlaceLabel(p, 9, kMessageLine, status);
    UpdateClock(p);
    const char16_t c = message.at(i).unicode();
    sentText += QChar(c);
    PlaceLabel(p, 12, kSentTextBox, sentText, true);
    EncodeCharacter(p, c);
  }
  PlaceLabel(p, 9, kMessageLine, QString());
  PlaceLabel(p, 9, kRepeatPauseLine, QStringLiteral("Pause mellan utsändningarna"));
  p.fx.delay.Wait(p.Run.RepeatPauseMs);
  PlaceLabel(p, 9, kRepeatPauseLine, QString());
  PumpEvents(p);
}

}  // namespace tonvirke
